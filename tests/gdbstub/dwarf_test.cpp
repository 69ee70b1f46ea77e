// The debugging information of the ELF file: the call-frame walk over small
// routines, and the demo program's sections read back by the 68HC11 binutils.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "gdbstub/dwarf_bytes.h"
#include "gdbstub/dwarf_frame.h"
#include "tests/cli/cli_runner.h"
#include "tests/gdbstub/tool_output.h"

namespace hc11::test {
namespace {

TEST(DwarfBytesTest, Leb128AsTheStandardsExamples) {
  const std::pair<std::int64_t, std::string> signedCases[] = {{2, "\x02"},
                                                              {-2, "\x7e"},
                                                              {127, std::string("\xff\x00", 2)},
                                                              {-127, std::string("\x81\x7f")},
                                                              {128, "\x80\x01"},
                                                              {-128, "\x80\x7f"}};
  for (const auto& [value, bytes] : signedCases) {
    gdb::ByteWriter w;
    w.Sleb(value);
    EXPECT_EQ(w.bytes(), bytes) << value;
  }
  const std::pair<std::uint64_t, std::string> unsignedCases[] = {
      {2, "\x02"}, {127, "\x7f"}, {128, "\x80\x01"}, {12857, "\xb9\x64"}};
  for (const auto& [value, bytes] : unsignedCases) {
    gdb::ByteWriter w;
    w.Uleb(value);
    EXPECT_EQ(w.bytes(), bytes) << value;
  }
}

// A routine at $E000 made of `code`, one instruction per entry.
struct WalkCase {
  const char* name;
  std::vector<std::vector<std::uint8_t>> code;
  std::vector<std::optional<int>> depths;  // before each instruction
};

TEST(FrameWalkTest, FollowsTheStackUntilItCannot) {
  const std::optional<int> lost;
  const WalkCase cases[] = {
      {"pushes and pulls",
       {{0x36}, {0x3C}, {0x18, 0x3C}, {0x38}, {0x32}, {0x18, 0x38}, {0x39}},
       {0, 1, 3, 5, 3, 2, 0}},
      {"des and ins", {{0x34}, {0x34}, {0x31}, {0x31}, {0x39}}, {0, 1, 2, 1, 0}},
      {"a call leaves the stack as it was",
       {{0x36}, {0xBD, 0xE1, 0x00}, {0x8D, 0x10}, {0x32}, {0x39}},
       {0, 1, 1, 1, 0}},
      // beq over a push: the join sees 0 and 1.
      {"paths that disagree", {{0x27, 0x01}, {0x36}, {0x4F}, {0x39}}, {0, 0, lost, lost}},
      {"paths that agree", {{0x27, 0x02}, {0x36}, {0x32}, {0x4F}, {0x39}}, {0, 0, 1, 0, 0}},
      {"txs", {{0x36}, {0x35}, {0x4F}, {0x39}}, {0, 1, lost, lost}},
      {"a computed jump ends the walk", {{0x6E, 0x00}, {0x4F}, {0x39}}, {0, lost, lost}},
      {"after ret nothing is known", {{0x39}, {0x4F}}, {0, lost}},
      {"a loop back to the start", {{0x36}, {0x32}, {0x20, 0xFC}}, {0, 1, 0}},
      {"more pulls than pushes", {{0x32}, {0x4F}, {0x39}}, {0, lost, lost}},
  };
  for (const WalkCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto code = std::make_unique<gdb::CodeImage>();
    std::vector<gdb::ListedLine> lines;
    std::uint32_t at = 0xE000;
    for (const auto& instruction : c.code) {
      lines.push_back({static_cast<std::uint16_t>(at), 0, 0, false});
      for (const std::uint8_t b : instruction) {
        code->bytes[at] = b;
        code->loaded[at++] = true;
      }
    }
    const auto states = gdb::WalkRoutine(*code, lines, {0xE000, at, gdb::FrameKind::Call});
    ASSERT_EQ(states.size(), c.depths.size());
    for (std::size_t i = 0; i < states.size(); ++i)
      EXPECT_EQ(states[i].depth, c.depths[i]) << "instruction " << i;
  }
}

class DemoElfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::path(::testing::TempDir()) /
          ("dwarf_" + std::to_string(::getpid()) + "_" + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::filesystem::path source = std::filesystem::path(HC11_SOURCE_DIR) / "examples" / "demo";
    for (const char* ext : {".lst", ".HEX", ".asm"})
      std::filesystem::copy_file(source / (std::string("demo") + ext), dir / (std::string("demo") + ext));
    if (!Output("m68hc11-readelf --version")) GTEST_SKIP() << "binutils for the 68HC11 are not installed";
  }
  std::string Elf(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args{"elf", "demo", "-o", "demo.elf"};
    args.insert(args.end(), extra.begin(), extra.end());
    const CliResult r = RunCli(dir, args);
    EXPECT_EQ(r.status, 0) << r.err;
    return (dir / "demo.elf").string();
  }
  std::filesystem::path dir;
};

TEST_F(DemoElfTest, TheBinutilsReadEverySectionCleanly) {
  const std::string elf = Elf();
  for (const std::string command :
       {"m68hc11-readelf -a --debug-dump=info,abbrev,line,decodedline,frames,frames-interp ",
        "m68hc11-objdump --dwarf "}) {
    const std::string text = Output(command + elf).value_or("<failed>");
    EXPECT_FALSE(Has(text, "<failed>")) << command;
    EXPECT_FALSE(Has(text, "Warning")) << command << text.substr(0, 2000);
    EXPECT_FALSE(Has(text, "warning")) << command;
    EXPECT_FALSE(Has(text, "Error")) << command;
  }
}

TEST_F(DemoElfTest, LinesMapToTheListingOrToTheAssemblerSource) {
  // "call serial_command" at $E4B4: line 1020 of the listing, 1006 of the source.
  std::string lines = Output("m68hc11-readelf --debug-dump=decodedline " + Elf()).value_or("");
  EXPECT_TRUE(Has(lines, "demo.lst                                    1020              0xe4b4"))
      << lines.substr(0, 600);
  EXPECT_TRUE(Has(lines, "demo.lst                                     240              0xe000"));
  EXPECT_FALSE(Has(lines, "demo.asm"));
  lines = Output("m68hc11-readelf --debug-dump=decodedline " + Elf({"--source", "asm"})).value_or("");
  EXPECT_TRUE(Has(lines, "demo.asm                                    1006              0xe4b4"))
      << lines.substr(0, 600);

  std::filesystem::remove(dir / "demo.asm");
  const CliResult r = RunCli(dir, {"elf", "demo", "-o", "other.elf", "--source", "asm"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.err, "no assembler source beside the listing")) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "other.elf"));
  EXPECT_EQ(RunCli(dir, {"elf", "demo", "-o", "x.elf", "--source", "lst"}).status, 2);
}

TEST_F(DemoElfTest, FunctionsLabelsAndVariablesAreEntries) {
  const std::string info = Output("m68hc11-readelf --debug-dump=info " + Elf()).value_or("");
  for (const char* part :
       {"DW_AT_name        : serial_command", "DW_TAG_label", "DW_AT_name        : @kd_chan",
        "DW_AT_name        : rxbuf", "DW_OP_addr: 2c", "DW_AT_upper_bound : 23",
        "DW_AT_name        : unsigned char", "DW_AT_name        : unsigned int"})
    EXPECT_TRUE(Has(info, part)) << part;
  const std::string symbols = Output("m68hc11-readelf -s " + (dir / "demo.elf").string()).value_or("");
  EXPECT_TRUE(Has(symbols, "_.frame")) << "GDB's target looks for its frame register";
}

TEST_F(DemoElfTest, FramesFollowPushesAndTheInterruptEntryAndTheResetHasNoCaller) {
  const std::string frames = Output("m68hc11-readelf --debug-dump=frames-interp " + Elf()).value_or("");
  // key_change: pushA at $E0D2, popA at $E0D6.
  EXPECT_TRUE(Has(frames,
                  "pc=0000e0ca..0000e0de\n   LOC   CFA      ra    \n0000e0ca r3+2     c-1   \n"
                  "0000e0d3 r3+3     c-1   \n0000e0d7 r3+2     c-1"))
      << frames.substr(0, 1500);
  EXPECT_TRUE(Has(frames, "pc=0000e000..0000e076\n   LOC   CFA      ra    \n0000e000 r3+2     u"));
  // The periodic interrupt: nine bytes, each register where the processor put it.
  EXPECT_TRUE(Has(frames, "r3+9     c-5   u     c-3   c-1   c-6   c-7   c-8")) << frames.substr(0, 1500);
}

}  // namespace
}  // namespace hc11::test
