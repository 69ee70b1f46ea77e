// Every operand form the generator encodes, against the 68HC11 assembler of
// GNU binutils (package binutils-m68hc1x), when it is installed.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/instruction_table.h"
#include "tests/support/motorola_mnemonics.h"
#include "tools/lstgen/assembly.h"
#include "tools/lstgen/encoder.h"

namespace hc11::lstgen {
namespace {

namespace fs = std::filesystem;

struct Probe {
  int row;
  std::string mine;  // operand in the generator's syntax; "@" stands for the line's label
  std::string gnu;   // the same operand for GNU as
};

// One probe per pattern character of a two- or four-form row, one per fixed row.
std::vector<Probe> ProbesOfRow(int row) {
  const Tinstx& r = InstructionTable[static_cast<std::size_t>(row)];
  std::vector<Probe> probes;
  if (r.mask != 0) {
    for (char c : r.pattern) {
      switch (c) {
        case 'i':
          probes.push_back({row, "#$12", "#0x12"});
          break;
        case 'j':
          probes.push_back({row, "#$1234", "#0x1234"});
          break;
        case 'd':
          probes.push_back({row, "<$12", "*0x12"});
          break;
        case 'h':
          probes.push_back({row, "$1234", "0x1234"});
          break;
        case 'X':
          probes.push_back({row, "$05,X", "5,x"});
          break;
        case 'Y':
          probes.push_back({row, "$05,Y", "5,y"});
          break;
        default:
          break;
      }
    }
    return probes;
  }
  const std::string p(r.pattern);
  const std::string reg = p.empty() ? "" : std::string(1, static_cast<char>(std::tolower(p[0])));
  if (p.empty()) probes.push_back({row, "", ""});
  if (p == "r") probes.push_back({row, "@", "@"});
  if (p == "h") probes.push_back({row, "$1234", "0x1234"});
  if (p == "X" || p == "Y") probes.push_back({row, "$05," + p, "5," + reg});
  if (p == "dm") probes.push_back({row, "$12,#$40", "*0x12 #0x40"});
  if (p == "Xm" || p == "Ym")
    probes.push_back({row, "$05," + p.substr(0, 1) + ",#$40", "5," + reg + " #0x40"});
  if (p == "dmr") probes.push_back({row, "$12,#$40,@", "*0x12 #0x40 @"});
  if (p == "Xmr" || p == "Ymr")
    probes.push_back({row, "$05," + p.substr(0, 1) + ",#$40,@", "5," + reg + " #0x40 @"});
  return probes;
}

std::string WithLabel(std::string text, const std::string& label) {
  for (std::size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, label);
  return text;
}

TEST(GnuAsCrossCheck, EveryEncodedFormMatches) {
  if (std::system("command -v m68hc11-as >/dev/null 2>&1 && command -v m68hc11-objcopy >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "m68hc11-as (binutils-m68hc1x) is not installed";

  std::string mine = "        org     $0000\n";
  std::string gnu = "        .text\n";
  std::vector<std::string> what;
  for (int row = 0; row < kInstructionRows; ++row) {
    const Tinstx& r = InstructionTable[static_cast<std::size_t>(row)];
    const auto name = test::kMotorolaName.find(r.mnemonic);
    ASSERT_NE(name, test::kMotorolaName.end()) << r.mnemonic;
    for (const Probe& probe : ProbesOfRow(row)) {
      const std::string label = "L" + std::to_string(what.size());
      EncodeRequest req;
      req.mnemonic = r.mnemonic;
      const std::string operand = WithLabel(probe.mine, "0");
      req.operand = operand;
      // A form that an earlier row takes (shadowed slot) is not this row's.
      if (Encode(req, [](std::string_view) { return std::optional<std::int32_t>(0); }).row != row) continue;
      mine += label + "  " + std::string(r.mnemonic) + "  " + WithLabel(probe.mine, label) + "\n";
      gnu += label + ": " + std::string(name->second) + " " + WithLabel(probe.gnu, label) + "\n";
      what.push_back(std::to_string(row) + " " + std::string(r.mnemonic) + " " + probe.mine);
    }
  }
  ASSERT_GT(what.size(), 150u);

  const Assembly ours = Assemble(mine);
  ASSERT_TRUE(ours.Ok());
  const fs::path dir = fs::path(::testing::TempDir()) / "hc11_gnu_as";
  fs::create_directories(dir);
  std::ofstream(dir / "probe.s") << gnu;
  const std::string cmd = "cd '" + dir.string() +
                          "' && m68hc11-as -o probe.o probe.s 2>as.txt && "
                          "m68hc11-objcopy -O binary -j .text probe.o probe.bin 2>>as.txt";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << std::ifstream(dir / "as.txt").rdbuf();
  std::ifstream bin(dir / "probe.bin", std::ios::binary);
  const std::vector<char> theirs((std::istreambuf_iterator<char>(bin)), std::istreambuf_iterator<char>());

  // Walk the instructions in the listing, so a difference names its probe.
  std::size_t index = 0;
  for (const ListingEntry& e : ours.listing) {
    if (!e.address || e.bytes.empty()) continue;
    SCOPED_TRACE(what[index++]);
    for (std::size_t i = 0; i < e.bytes.size(); ++i) {
      const std::size_t at = *e.address + i;
      ASSERT_LT(at, theirs.size());
      EXPECT_EQ(e.bytes[i], static_cast<std::uint8_t>(theirs[at])) << "byte " << i;
    }
  }
  EXPECT_EQ(index, what.size());
  fs::remove_all(dir);
}

}  // namespace
}  // namespace hc11::lstgen
