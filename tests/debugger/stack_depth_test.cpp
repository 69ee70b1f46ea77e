// The stack's low-water mark and the "Pile basse" warning: tiny assembled
// programs run in a session, and the tracker's skipping window checked
// against a plain model that looks at every SP.
#include "core/stack_depth.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "core/run_engine.h"
#include "core/text_util.h"
#include "debugger/session.h"
#include "debugger/settings_file.h"
#include "debugger/stack_low.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "flowchart/text_metrics.h"
#include "tests/support/recording.h"
#include "tools/lstgen/generate.h"

namespace hc11 {
namespace {

namespace fs = std::filesystem;

// Two passes through outer -> inner; inner pushes two bytes, so SP goes
// FF, FD (outer), FC, FA (inner), F9, F8 and back.
constexpr const char* kNested = R"(
        org     $E000
debprog_
        ldS     #$00FF
        ldB     #2
main
        call    outer
        decB
        bne     main
        jmp     $F000
outer
        pushA
        call    inner
        popA
        ret
inner
        pushA
        pushB
        popB
        popA
        ret
)";

// A routine that pushes nothing is as deep as its call.
constexpr const char* kLeaf = R"(
        org     $E000
debprog_
        ldS     #$00FF
        call    leaf
        jmp     $F000
leaf
        ret
)";

// SP moved by hand, not by a push.
constexpr const char* kDecS = R"(
        org     $E000
debprog_
        ldS     #$00FF
        call    deep
        jmp     $F000
deep
        decS
        decS
        incS
        incS
        ret
)";

class StackDepthTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("hc11_stack_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A fresh session on `source`, with "Pile basse" set to `warn`, run to its end.
  std::unique_ptr<Session> RunProgram(const std::string& name, const std::string& source,
                                      const std::string& warn) {
    const std::string asmPath = (dir_ / (name + ".asm")).string();
    std::ofstream(asmPath) << source;
    std::ostringstream diagnostics;
    const std::string base = (dir_ / name).string();
    EXPECT_TRUE(lstgen::GenerateFiles(asmPath, base, diagnostics)) << diagnostics.str();
    auto s = std::make_unique<Session>(hooks_, messages_);
    s->SetUseWorkspace(false);
    s->settings().SetReglage("Pile basse", warn);
    s->Load(base);
    // Function names come from the flowchart's label index, as in the window.
    ConvertAll(s->listing());
    const FixedTextMetrics metrics;
    Flowchart(s->listing(), s->messages(), metrics).BuildLabelIndex();
    Machine& m = s->machine();
    m.StepBudget = 10000;
    RunCommand(m, kModeRun, false);
    EXPECT_EQ(m.StopMessage, "adr>fin F000");
    return s;
  }

  static int Warnings(const Session& s) {
    int n = 0;
    for (const std::string& line : s.trace().lines())
      if (line.find("Pile basse: SP=") != std::string::npos) ++n;
    return n;
  }

  fs::path dir_;
  test::RecordingHooks hooks_;
  test::RecordingMessages messages_;
};

TEST_F(StackDepthTest, LowestSpAndTheRoutineThatReachedIt) {
  const struct {
    const char* name;
    const char* source;
    const char* warn;
    const char* low;
    int warnings;
    const char* firstWarning;
  } cases[] = {
      {"nested", kNested, "0", "00f8 inner", 0, ""},
      {"nested_fa", kNested, "$FA", "00f8 inner", 2, "Pile basse: SP=00F9 sous 00FA"},
      {"nested_f9", kNested, "249", "00f8 inner", 2, "Pile basse: SP=00F8 sous 00F9"},
      {"nested_f8", kNested, "$F8", "00f8 inner", 0, ""},
      // Below from the first step on and never back above: said once.
      {"nested_100", kNested, "$100", "00f8 inner", 1, "Pile basse: SP=00FF sous 0100"},
      {"not_an_address", kNested, "zz", "00f8 inner", 0, ""},
      {"leaf", kLeaf, "$FE", "00fd leaf", 1, "Pile basse: SP=00FD sous 00FE"},
      {"decs", kDecS, "0", "00fb deep", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto s = RunProgram(c.name, c.source, c.warn);
    const Machine& m = s->machine();
    EXPECT_EQ(StackLowText(m, s->listing()), c.low);
    EXPECT_EQ(Warnings(*s), c.warnings);
    if (c.warnings > 0) {
      int infos = 0;
      for (const std::string& info : hooks_.infoLines) infos += info.find("Pile basse") != std::string::npos;
      EXPECT_EQ(infos, 1) << "the information label hears of the run's first crossing only";
      for (const std::string& line : s->trace().lines()) {
        if (line.find("Pile basse") == std::string::npos) continue;
        EXPECT_EQ(line.substr(line.find("ms ") + 3), c.firstWarning);
        break;
      }
    }
    hooks_.infoLines.clear();
  }
}

TEST_F(StackDepthTest, InitForgetsTheMarkAndKeepsTheWarning) {
  auto s = RunProgram("init", kNested, "$FA");
  Machine& m = s->machine();
  ASSERT_EQ(StackLowText(m, s->listing()), "00f8 inner");
  s->Init(true);
  EXPECT_EQ(StackLowText(m, s->listing()), "");
  EXPECT_EQ(StackLowHeader(m, s->listing()), "SP min: -  Pile basse: 00fa");
  m.StepBudget = 3;  // ldS, ldB, call outer
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(StackLowHeader(m, s->listing()), "SP min: 00fd outer (pc e00e)  Pile basse: 00fa");
}

// "Pile basse" is an address, decimal or "$" hexadecimal; the editor refuses
// anything else and a settings file's other values are left at the default.
TEST(PileBasseSettingTest, OnlyAnAddressIsTakenOrReadBack) {
  const struct {
    const char* value;
    bool accepted;
  } cases[] = {{"0", true},      {"250", true},     {"$FA", true}, {" $fa ", true}, {"65535", true},
               {"65536", false}, {"$10000", false}, {"FA", false}, {"", false},     {"-1", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(ReglageValueError("Pile basse", c.value).empty(), c.accepted);
    const Settings s = ParseSettings(std::string("[Reglages]\nPile basse=") + c.value + "\n");
    EXPECT_EQ(s.Reglage("Pile basse"), c.accepted ? Trim(c.value) : std::string("0"));
  }
}

// The run engine asks Note only when SP leaves the tracker's window; a model
// that looks at every SP must agree on the mark and on each warning.
TEST(StackDepthWindowTest, AgreesWithAModelThatSeesEverySp) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    StackDepth d;
    const std::uint16_t warn = round % 5 == 0 ? 0 : static_cast<std::uint16_t>(random() % 0x200);
    d.SetWarnBelow(warn);
    std::uint32_t modelLow = 0x10000;
    bool modelArmed = true;
    std::uint16_t sp = static_cast<std::uint16_t>(random() % 0x200);
    for (int step = 0; step < 300; ++step) {
      // Mostly small pushes and pulls, now and then a new stack.
      const int r = static_cast<int>(random() % 20);
      sp = static_cast<std::uint16_t>(r == 0 ? random() : sp + (r % 7) - 3);
      bool modelWarns = false;
      if (sp < modelLow) modelLow = sp;
      if (modelArmed && sp < warn) {
        modelArmed = false;
        modelWarns = true;
      } else if (!modelArmed && sp >= warn) {
        modelArmed = true;
      }
      const bool warns = d.Noteworthy(sp) && d.Note(sp, static_cast<std::uint16_t>(step));
      ASSERT_EQ(warns, modelWarns) << "sp " << sp << " step " << step;
      ASSERT_EQ(d.LowSP(), modelLow);
    }
  }
}

}  // namespace
}  // namespace hc11
