// An adapter in the test's own thread: requests go in through Handle, every
// message it sends is kept in order, and programs are assembled on the spot
// by the fixture generator.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dap/adapter.h"
#include "tests/support/test_files.h"
#include "tools/lstgen/generate.h"

namespace hc11::test {

// A counting loop with a call and two variables.
inline constexpr const char* kCountProgram = R"(; count.asm - a counting loop with a call.
        org     $0010
compteur ds     1
mot     ds      2

        org     $E000
debprog_
        ldS     #$00FF
        ldX     #$0000
        clrA
debut
        ldB     #3
boucle
        addA    #1
        stA     compteur
        decB
        bne     boucle
        call    compte
        jr      debut
compte
        incX
        ret

        org     $FFFE
        dw      debprog_

        end
)";
// Lines of kCountProgram (the listing numbers them as the source does).
inline constexpr int kLineLdS = 8, kLineDebutLabel = 11, kLineLdB = 12, kLineAddA = 14, kLineStA = 15,
                     kLineCallr = 18, kLineJr = 19, kLineIncX = 21;

class DapTest : public ::testing::Test {
 protected:
  dap::Adapter adapter{[this](const dap::Json& m) { sent.push_back(m); }};
  std::vector<dap::Json> sent;
  std::filesystem::path dir;
  std::string listing, source;

  // Assembles `text` as NAME.asm; the listing's path.
  std::string Program(const std::string& text, const std::string& name = "count") {
    if (dir.empty()) dir = FreshTestFolder("dap_");
    source = (dir / (name + ".asm")).string();
    std::ofstream(source) << text;
    std::ostringstream diagnostics;
    EXPECT_TRUE(lstgen::GenerateFiles(source, (dir / name).string(), diagnostics)) << diagnostics.str();
    listing = (dir / (name + ".lst")).string();
    return listing;
  }

  // Gives one request and returns its response.
  dap::Json Request(const std::string& command, const dap::Json& args = dap::Json::object()) {
    const std::size_t from = sent.size();
    adapter.Handle({{"seq", ++seq_}, {"type", "request"}, {"command", command}, {"arguments", args}});
    for (std::size_t i = from; i < sent.size(); ++i)
      if (sent[i]["type"] == "response" && sent[i]["request_seq"] == seq_) return sent[i];
    ADD_FAILURE() << "no response to " << command;
    return {};
  }
  // The body of a request that must succeed.
  dap::Json Body(const std::string& command, const dap::Json& args = dap::Json::object()) {
    const dap::Json r = Request(command, args);
    EXPECT_TRUE(r.value("success", false)) << command << ": " << r.value("message", "");
    return r.value("body", dap::Json::object());
  }
  // The message of a request that must be refused.
  std::string Refused(const std::string& command, const dap::Json& args = dap::Json::object()) {
    const dap::Json r = Request(command, args);
    EXPECT_FALSE(r.value("success", true)) << command;
    return r.value("message", "");
  }

  // initialize and launch the count program (or `program`).
  void Launch(dap::Json extra = dap::Json::object()) {
    if (listing.empty()) Program(kCountProgram);
    Body("initialize", {{"adapterID", "hc11flow"}});
    extra["program"] = listing;
    if (!extra.contains("workspace")) extra["workspace"] = false;
    Body("launch", extra);
  }

  // The events named `name` sent since message `from`.
  std::vector<dap::Json> Events(const std::string& name, std::size_t from = 0) const {
    std::vector<dap::Json> out;
    for (std::size_t i = from; i < sent.size(); ++i)
      if (sent[i]["type"] == "event" && sent[i]["event"] == name) out.push_back(sent[i]);
    return out;
  }
  // Gives an execution request and returns the "stopped" event's body it caused.
  dap::Json StopAfter(const std::string& command, const dap::Json& args = {{"threadId", 1}}) {
    const std::size_t from = sent.size();
    Body(command, args);
    const auto stops = Events("stopped", from);
    EXPECT_EQ(stops.size(), 1u) << command;
    return stops.empty() ? dap::Json::object() : stops.back()["body"];
  }

  dap::Json LineBreakpoints(const std::vector<dap::Json>& breakpoints, const std::string& path = {}) {
    return Body("setBreakpoints",
                {{"source", {{"path", path.empty() ? listing : path}}}, {"breakpoints", breakpoints}});
  }
  dap::Json TopFrame() { return Body("stackTrace", {{"threadId", 1}})["stackFrames"][0]; }
  std::string Variable(std::int64_t reference, const std::string& name) {
    const dap::Json body = Body("variables", {{"variablesReference", reference}});
    for (const dap::Json& v : body["variables"])
      if (v["name"] == name) return v["value"];
    ADD_FAILURE() << "no variable " << name;
    return {};
  }
  Machine& machine() { return adapter.controller()->machine(); }

 private:
  int seq_ = 0;
};

}  // namespace hc11::test
