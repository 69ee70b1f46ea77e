// Breakpoint requests: lines of the listing and of its source, labels,
// addresses and RAM bytes, with conditions, hit conditions and log messages;
// what is refused, and why.
#include "tests/dap/dap_fixture.h"

namespace hc11::test {
namespace {

using dap::Json;

class DapBreakTest : public DapTest {
 protected:
  void SetUp() override {
    Launch({{"stopOnEntry", true}});
    Body("configurationDone");
  }
  std::size_t Entries() { return adapter.controller()->session().breakpoints().entries().size(); }
};

TEST_F(DapBreakTest, LineBreakpointsAreVerifiedOrRefusedPerLine) {
  const Json answer = LineBreakpoints({{{"line", kLineAddA}},
                                       {{"line", kLineDebutLabel}},
                                       {{"line", 1}},
                                       {{"line", 9999}},
                                       {{"line", kLineIncX}}});
  const struct {
    bool verified;
    const char* address;
    const char* message;
  } expected[] = {{true, "0xE009", ""},
                  {false, "", "no code on this line"},
                  {false, "", "no code on this line"},
                  {false, "", "no code on this line"},
                  {true, "0xE015", ""}};
  ASSERT_EQ(answer["breakpoints"].size(), std::size(expected));
  std::set<int> ids;
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const Json& b = answer["breakpoints"][i];
    EXPECT_EQ(b["verified"], expected[i].verified) << i;
    EXPECT_EQ(b.value("instructionReference", ""), expected[i].address) << i;
    EXPECT_EQ(b.value("message", ""), expected[i].message) << i;
    ids.insert(b["id"].get<int>());
  }
  EXPECT_EQ(ids.size(), std::size(expected)) << "every breakpoint has its own id";
  EXPECT_EQ(Entries(), 2u);
  // The breakpoint list shows them, as the window's list would.
  EXPECT_EQ(adapter.controller()->session().breakpoints().Lines()[0].substr(0, 4), "e009");
}

TEST_F(DapBreakTest, EachRequestReplacesItsOwnGroupOnly) {
  LineBreakpoints({{{"line", kLineAddA}}, {{"line", kLineStA}}});
  Body("setFunctionBreakpoints", {{"breakpoints", {{{"name", "compte"}}}}});
  EXPECT_EQ(Entries(), 3u);
  LineBreakpoints({{{"line", kLineCallr}}});
  EXPECT_EQ(Entries(), 2u);
  // The assembler source is a file of its own: its group leaves the listing's alone.
  LineBreakpoints({{{"line", kLineLdB}}}, source);
  EXPECT_EQ(Entries(), 3u);
  LineBreakpoints({});
  Body("setFunctionBreakpoints", {{"breakpoints", Json::array()}});
  LineBreakpoints({}, source);
  EXPECT_EQ(Entries(), 0u);
  // A file of another program takes nothing and removes nothing.
  LineBreakpoints({{{"line", kLineAddA}}});
  const Json other = LineBreakpoints({{{"line", 3}}}, (dir / "other.lst").string());
  EXPECT_EQ(other["breakpoints"][0]["verified"], false);
  EXPECT_NE(other["breakpoints"][0]["message"].get<std::string>().find("not a file of this program"),
            std::string::npos);
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(DapBreakTest, TheStopNamesTheBreakpointItsKindAndItsId) {
  const Json line = LineBreakpoints({{{"line", kLineCallr}}});
  const Json function = Body("setFunctionBreakpoints", {{"breakpoints", {{{"name", "compte"}}}}});
  const Json address =
      Body("setInstructionBreakpoints", {{"breakpoints", {{{"instructionReference", "0xE013"}}}}});
  EXPECT_EQ(function["breakpoints"][0]["line"], kLineIncX);
  const struct {
    const Json* answer;
    const char* reason;
    int line;
  } stops[] = {{&line, "breakpoint", kLineCallr},
               {&function, "function breakpoint", kLineIncX},
               {&address, "instruction breakpoint", kLineJr}};
  for (const auto& s : stops) {
    const Json stop = StopAfter("continue");
    EXPECT_EQ(stop["reason"], s.reason);
    EXPECT_EQ(stop["hitBreakpointIds"], Json::array({(*s.answer)["breakpoints"][0]["id"]})) << s.reason;
    EXPECT_EQ(TopFrame()["line"], s.line) << s.reason;
  }
}

TEST_F(DapBreakTest, FunctionAndInstructionBreakpointsRefuseWhatIsNotThere) {
  const Json f =
      Body("setFunctionBreakpoints", {{"breakpoints", {{{"name", "nulle_part"}}, {{"name", "debut"}}}}});
  EXPECT_EQ(f["breakpoints"][0]["verified"], false);
  EXPECT_EQ(f["breakpoints"][0]["message"], "no label 'nulle_part' in the listing");
  EXPECT_EQ(f["breakpoints"][1]["verified"], true) << "any label, not only a routine's";
  const Json i = Body("setInstructionBreakpoints", {{"breakpoints",
                                                     {{{"instructionReference", "zz"}},
                                                      {{"instructionReference", "0xFFFF"}, {"offset", 1}},
                                                      {{"instructionReference", "0xE000"}, {"offset", 7}}}}});
  EXPECT_EQ(i["breakpoints"][0]["verified"], false);
  EXPECT_EQ(i["breakpoints"][1]["verified"], false);
  EXPECT_EQ(i["breakpoints"][2]["instructionReference"], "0xE007");
}

TEST_F(DapBreakTest, ConditionsAndHitConditionsChooseTheHitThatStops) {
  // A counts up by one at each addA: the condition picks A == 5, the hit
  // condition the third pass.
  LineBreakpoints({{{"line", kLineStA}, {"condition", "A == 5"}}});
  StopAfter("continue");
  EXPECT_EQ(machine().cpu.A, 5);
  LineBreakpoints({{{"line", kLineCallr}, {"hitCondition", "3"}}});
  StopAfter("continue");
  // Set during the second pass: its calls with X at 1, 2, then 3 are the hits.
  EXPECT_EQ(machine().cpu.X, 3);
  LineBreakpoints({{{"line", kLineIncX}, {"hitCondition", "%2"}}});
  StopAfter("continue");
  const std::uint16_t first = machine().cpu.X;
  StopAfter("continue");
  EXPECT_EQ(machine().cpu.X, first + 2);
}

TEST_F(DapBreakTest, ALogpointWritesItsMessageAndNeverStops) {
  LineBreakpoints({{{"line", kLineStA}, {"logMessage", "A={A:x}"}}, {{"line", kLineCallr}}});
  const std::size_t from = sent.size();
  StopAfter("continue");
  EXPECT_EQ(TopFrame()["line"], kLineCallr);
  std::vector<std::string> lines;
  for (const Json& e : Events("output", from))
    if (e["body"]["category"] == "console") lines.push_back(e["body"]["output"]);
  ASSERT_EQ(lines.size(), 3u);
  for (std::size_t i = 0; i < lines.size(); ++i)
    EXPECT_NE(lines[i].find("A=" + std::to_string(i + 1) + "\n"), std::string::npos) << lines[i];
}

TEST_F(DapBreakTest, MalformedExtrasAreRefusedWithTheEvaluatorsWords) {
  const Json answer = LineBreakpoints({{{"line", kLineStA}, {"condition", "A =="}},
                                       {{"line", kLineAddA}, {"hitCondition", ">2"}},
                                       {{"line", kLineLdB}, {"logMessage", "{inconnu}"}},
                                       {{"line", kLineCallr}, {"condition", "compteur == 3"}}});
  const auto& b = answer["breakpoints"];
  EXPECT_EQ(b[0]["verified"], false);
  EXPECT_NE(b[0]["message"].get<std::string>().find("colonne"), std::string::npos) << b[0];
  EXPECT_EQ(b[1]["verified"], false);
  EXPECT_NE(b[1]["message"].get<std::string>().find("hit condition"), std::string::npos);
  EXPECT_EQ(b[2]["verified"], false);
  EXPECT_EQ(b[3]["verified"], true) << "symbols of the listing are known to conditions";
  EXPECT_EQ(Entries(), 1u) << "a refused breakpoint leaves no entry behind";
}

TEST_F(DapBreakTest, DataBreakpointsStopOnTheAccessAsked) {
  const Json info = Body("dataBreakpointInfo", {{"name", "compteur"}});
  EXPECT_EQ(info["dataId"], "0010/1");
  EXPECT_EQ(info["accessTypes"], Json::array({"write", "read", "readWrite"}));
  EXPECT_EQ(Body("dataBreakpointInfo", {{"name", "mot"}})["dataId"], "0011/2");
  EXPECT_TRUE(
      Body("dataBreakpointInfo", {{"name", "A"}, {"variablesReference", dap::kRegistersScope}})["dataId"]
          .is_null());
  EXPECT_TRUE(Body("dataBreakpointInfo", {{"name", "absent"}})["dataId"].is_null());

  const Json set =
      Body("setDataBreakpoints", {{"breakpoints", {{{"dataId", "0010/1"}, {"accessType", "write"}}}}});
  EXPECT_EQ(set["breakpoints"][0]["verified"], true);
  const Json stop = StopAfter("continue");
  EXPECT_EQ(stop["reason"], "data breakpoint");
  EXPECT_EQ(stop["hitBreakpointIds"], Json::array({set["breakpoints"][0]["id"]}));
  EXPECT_EQ(adapter.controller()->LastStop().address, 0x10);
  // Nothing reads compteur: a read breakpoint lets the loop run to the next stop.
  Body("setDataBreakpoints", {{"breakpoints", {{{"dataId", "0010/1"}, {"accessType", "read"}}}}});
  LineBreakpoints({{{"line", kLineCallr}}});
  EXPECT_EQ(StopAfter("continue")["reason"], "breakpoint");

  const Json bad = Body("setDataBreakpoints", {{"breakpoints",
                                                {{{"dataId", "nonsense"}},
                                                 {{"dataId", "0010/9"}},
                                                 {{"dataId", "FFFF/2"}},
                                                 {{"dataId", "0010/1"}, {"accessType", "execute"}}}}});
  for (const Json& b : bad["breakpoints"]) EXPECT_EQ(b["verified"], false) << b;
}

}  // namespace
}  // namespace hc11::test
