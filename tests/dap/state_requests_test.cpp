// State and memory requests: the call chain, the four scopes and their
// edits, evaluation, memory in base64, disassembly and the sources.
#include "dap/base64.h"
#include "tests/dap/dap_fixture.h"

namespace hc11::test {
namespace {

using dap::Json;

class DapStateTest : public DapTest {
 protected:
  void SetUp() override {
    Launch({{"stopOnEntry", true}});
    Body("configurationDone");
    LineBreakpoints({{{"line", kLineIncX}}});
    StopAfter("continue");  // inside compte, called once, A = 3
  }
};

TEST_F(DapStateTest, TheStackTraceFollowsTheReturnAddresses) {
  const Json trace = Body("stackTrace", {{"threadId", 1}});
  ASSERT_EQ(trace["totalFrames"], 2);
  const Json& inner = trace["stackFrames"][0];
  const Json& caller = trace["stackFrames"][1];
  EXPECT_EQ(inner["line"], kLineIncX);
  EXPECT_EQ(inner["instructionPointerReference"], "0xE015");
  EXPECT_EQ(inner["source"]["path"], dap::AbsolutePath(listing));
  // The caller's frame shows its call, not the instruction it returns to.
  EXPECT_EQ(caller["line"], kLineCallr);
  EXPECT_EQ(caller["instructionPointerReference"], "0xE012");
  // Paging as the client asks.
  const Json second = Body("stackTrace", {{"threadId", 1}, {"startFrame", 1}, {"levels", 5}});
  ASSERT_EQ(second["stackFrames"].size(), 1u);
  EXPECT_EQ(second["stackFrames"][0]["id"], 1);
}

TEST_F(DapTest, FramesAreNamedByTheirRoutines) {
  listing = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo.lst";
  Launch({{"stopOnEntry", true}});
  Body("configurationDone");
  LineBreakpoints({{{"line", 285}}});  // main_loop: callr adc_read
  StopAfter("continue");
  StopAfter("stepIn");
  const Json frames = Body("stackTrace", {{"threadId", 1}})["stackFrames"];
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0]["name"], "adc_read");
  EXPECT_EQ(frames[1]["name"], "debprog_");
  EXPECT_EQ(frames[1]["line"], 285);
}

TEST_F(DapStateTest, FramesPointIntoTheAssemblerSourceWhenAsked) {
  Body("disconnect");
  dap::Adapter other([this](const Json& m) { sent.push_back(m); });
  sent.clear();
  int seq = 0;
  auto request = [&](const std::string& command, const Json& args) {
    other.Handle({{"seq", ++seq}, {"type", "request"}, {"command", command}, {"arguments", args}});
    for (const Json& m : sent)
      if (m["type"] == "response" && m["request_seq"] == seq) return m;
    return Json();
  };
  request("initialize", Json::object());
  EXPECT_EQ(
      request(
          "launch",
          {{"program", listing}, {"workspace", false}, {"source", "asm"}, {"stopOnEntry", true}})["success"],
      true);
  request("configurationDone", Json::object());
  const Json trace = request("stackTrace", {{"threadId", 1}});
  EXPECT_EQ(trace["body"]["stackFrames"][0]["source"]["path"], dap::AbsolutePath(source));
}

TEST_F(DapStateTest, ScopesShowRegistersWatchesSymbolsAndTheBoard) {
  const Json scopes = Body("scopes", {{"frameId", 0}})["scopes"];
  std::vector<std::string> names;
  for (const Json& s : scopes) names.push_back(s["name"]);
  EXPECT_EQ(names, (std::vector<std::string>{"Registres", "Surveillances", "Symboles", "Carte"}));

  const struct {
    std::int64_t scope;
    const char* name;
    const char* value;
  } cases[] = {
      {dap::kRegistersScope, "A", "$03"},
      {dap::kRegistersScope, "B", "$00"},
      {dap::kRegistersScope, "D", "$0300"},
      {dap::kRegistersScope, "X", "$0000"},
      {dap::kRegistersScope, "PC", "$E015"},
      {dap::kRegistersScope, "SP", "$00FD"},
      {dap::kFlagsScope, "Z", "1"},
      {dap::kFlagsScope, "C", "0"},
      {dap::kSymbolsScope, "compteur", "$03"},
      {dap::kSymbolsScope, "mot", "$0000"},
      {dap::kBoardScope, "Led4MA", "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Variable(c.scope, c.name), c.value) << c.name;
  EXPECT_NE(Refused("variables", {{"variablesReference", 99}}).find("no variables"), std::string::npos);
}

TEST_F(DapStateTest, SetVariableEditsRegistersFlagsWatchesAndMemory) {
  TSurv w;
  w.name = "suivi";
  w.address = 0x10;
  w.WatchFormat = FmtDecimal;
  adapter.controller()->session().watches().Append(w);
  const struct {
    std::int64_t scope;
    const char* name;
    const char* value;
    const char* shown;
  } edits[] = {
      {dap::kRegistersScope, "A", "2A", "$2A"},       {dap::kRegistersScope, "X", "$1234", "$1234"},
      {dap::kRegistersScope, "d", "0x0102", "$0102"}, {dap::kFlagsScope, "C", "1", "1"},
      {dap::kSymbolsScope, "compteur", "7F", "$7F"},  {dap::kSymbolsScope, "mot", "BEEF", "$BEEF"},
      {dap::kWatchesScope, "suivi", "200", " 200"},
  };
  for (const auto& e : edits) {
    const Json body =
        Body("setVariable", {{"variablesReference", e.scope}, {"name", e.name}, {"value", e.value}});
    EXPECT_EQ(body["value"], e.shown) << e.name;
  }
  EXPECT_EQ(machine().cpu.A, 0x01);  // D written last among A, B, D
  EXPECT_EQ(machine().cpu.B, 0x02);
  EXPECT_EQ(machine().cpu.CC & FlagC, FlagC);
  EXPECT_EQ(machine().Memory[0x10], 200);
  EXPECT_EQ(machine().Memory[0x11], 0xBE);

  const struct {
    std::int64_t scope;
    const char* name;
    const char* value;
  } refused[] = {
      {dap::kRegistersScope, "A", "100"},      {dap::kRegistersScope, "PC", "zz"},
      {dap::kRegistersScope, "Q", "1"},        {dap::kFlagsScope, "Z", "2"},
      {dap::kSymbolsScope, "compteur", "1FF"}, {dap::kSymbolsScope, "absent", "1"},
      {dap::kWatchesScope, "absent", "1"},     {dap::kBoardScope, "Led4MA", "1"},
  };
  const std::uint8_t a = machine().cpu.A;
  for (const auto& r : refused)
    Refused("setVariable", {{"variablesReference", r.scope}, {"name", r.name}, {"value", r.value}});
  EXPECT_EQ(machine().cpu.A, a);
}

TEST_F(DapStateTest, EvaluateReadsRegistersVariablesAndExpressions) {
  const struct {
    const char* expression;
    const char* result;
  } cases[] = {
      {"A", "$03"},        {"pc", "$E015"},     {"compteur", "$03"},
      {"A + 1", "4 ($4)"}, {"compteur", "$03"}, {"[compteur] * 2", "6 ($6)"},
  };
  for (const auto& c : cases) {
    const Json body = Body("evaluate", {{"expression", c.expression}, {"context", "hover"}});
    EXPECT_EQ(body["result"], c.result) << c.expression;
  }
  EXPECT_EQ(Body("evaluate", {{"expression", "mot"}, {"context", "watch"}})["memoryReference"], "0x0011");
  EXPECT_NE(Refused("evaluate", {{"expression", "A +"}}).find("colonne"), std::string::npos);
  EXPECT_NE(Refused("evaluate", {{"expression", "inconnu"}}).find("inconnu"), std::string::npos);
}

TEST_F(DapStateTest, MemoryIsReadAndWrittenInBase64) {
  const std::uint8_t bytes[] = {0xDE, 0xAD, 0xBE};
  const Json w = Body("writeMemory",
                      {{"memoryReference", "0x0200"}, {"offset", 1}, {"data", dap::EncodeBase64(bytes, 3)}});
  EXPECT_EQ(w["bytesWritten"], 3);
  const Json r = Body("readMemory", {{"memoryReference", "$0200"}, {"count", 5}});
  EXPECT_EQ(r["address"], "0x0200");
  const auto back = dap::DecodeBase64(r["data"].get<std::string>());
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, (std::vector<std::uint8_t>{0, 0xDE, 0xAD, 0xBE, 0}));
  // Past the end: what exists is read, the rest is said unreadable.
  const Json end = Body("readMemory", {{"memoryReference", "0xFFFE"}, {"count", 4}});
  EXPECT_EQ(dap::DecodeBase64(end["data"].get<std::string>())->size(), 2u);
  EXPECT_EQ(end["unreadableBytes"], 2);

  EXPECT_EQ(Refused("writeMemory", {{"memoryReference", "0x0200"}, {"data", "!!!!"}}), "data is not base64");
  EXPECT_EQ(Refused("writeMemory", {{"memoryReference", "0xFFFF"}, {"data", dap::EncodeBase64(bytes, 3)}}),
            "the bytes do not fit below $10000");
  EXPECT_NE(Refused("readMemory", {{"memoryReference", "here"}, {"count", 1}}).find("not an address"),
            std::string::npos);
  EXPECT_EQ(Refused("readMemory", {{"memoryReference", "0"}, {"count", -1}}), "count must not be negative");
}

TEST_F(DapStateTest, DisassemblyShowsTheListingsInstructionsAndLines) {
  const Json d = Body("disassemble", {{"memoryReference", "0xE007"}, {"instructionCount", 3}});
  const struct {
    const char* address;
    const char* bytes;
    int line;
    const char* symbol;
  } expected[] = {{"0xE007", "C6 03", kLineLdB, "debut"},
                  {"0xE009", "8B 01", kLineAddA, "boucle"},
                  {"0xE00B", "97 10", kLineStA, ""}};
  ASSERT_EQ(d["instructions"].size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const Json& ins = d["instructions"][i];
    EXPECT_EQ(ins["address"], expected[i].address);
    EXPECT_EQ(ins["instructionBytes"], expected[i].bytes);
    EXPECT_EQ(ins["line"], expected[i].line);
    EXPECT_EQ(ins.value("symbol", ""), expected[i].symbol);
    EXPECT_FALSE(ins["instruction"].get<std::string>().empty());
  }
  // Before the first instruction: the count asked for, invalid where nothing is listed.
  const Json before = Body(
      "disassemble", {{"memoryReference", "0xE000"}, {"instructionOffset", -2}, {"instructionCount", 3}});
  ASSERT_EQ(before["instructions"].size(), 3u);
  EXPECT_EQ(before["instructions"][0]["presentationHint"], "invalid");
  EXPECT_EQ(before["instructions"][2]["address"], "0xE000");
}

TEST_F(DapStateTest, LoadedSourcesAreTheListingAndItsAssemblerSource) {
  const Json s = Body("loadedSources")["sources"];
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0]["path"], dap::AbsolutePath(listing));
  EXPECT_EQ(s[1]["path"], dap::AbsolutePath(source));
  EXPECT_EQ(s[0]["name"], "count.lst");
}

}  // namespace
}  // namespace hc11::test
