// The ELF file of a program, read back by the 68HC11 binutils as GDB would
// read it: header, loadable code sections, and the labels as symbols.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "gdbstub/elf_symbols.h"
#include "listing/listing_files.h"
#include "tests/cli/cli_runner.h"
#include "tests/gdbstub/gdb_fixture.h"
#include "tests/gdbstub/tool_output.h"
#include "tests/profile/profile_fixture.h"

namespace hc11::test {
namespace {

class ElfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program = LoopProgramCopy();
    const CliResult r = RunCli(program.parent_path(), {"elf", "loop", "-o", "loop.elf"});
    ASSERT_EQ(r.status, 0) << r.err;
    elf = (program.parent_path() / "loop.elf").string();
    if (!Output("m68hc11-readelf --version")) GTEST_SKIP() << "binutils for the 68HC11 are not installed";
  }
  std::filesystem::path program;
  std::string elf;
};

TEST_F(ElfTest, ReadelfSeesA68hc11ExecutableWithLoadableCode) {
  const std::string header = Output("m68hc11-readelf -h -l -S " + elf).value_or("");
  EXPECT_TRUE(Has(header, "ELF32")) << header;
  EXPECT_TRUE(Has(header, "big endian")) << header;
  EXPECT_TRUE(Has(header, "EXEC")) << header;
  EXPECT_TRUE(Has(header, "68HC11")) << header;
  EXPECT_TRUE(Has(header, "Entry point address:               0xe000")) << header;
  // The code from $E000 and the reset vector at $FFFE.
  EXPECT_TRUE(Has(header, ".text             PROGBITS        0000e000")) << header;
  EXPECT_TRUE(Has(header, ".text.1           PROGBITS        0000fffe")) << header;
  EXPECT_TRUE(Has(header, "AX")) << header;
  EXPECT_TRUE(Has(header, "LOAD")) << header;
  EXPECT_FALSE(Has(header, "Warning")) << header;
  EXPECT_FALSE(Has(header, "Error")) << header;
}

TEST_F(ElfTest, LabelsAreFunctionsCodeLabelsOrObjects) {
  const std::string symbols = Output("m68hc11-readelf -s " + elf).value_or("");
  struct Row {
    const char* name;
    const char* row;  // value, size, type as readelf prints them
  } rows[] = {
      {"debprog_", "0000e000    20 FUNC    GLOBAL DEFAULT    1 debprog_"},  // up to compte
      {"compte", "0000e014     2 FUNC    GLOBAL DEFAULT    1 compte"},
      {"boucle", "0000e009     0 NOTYPE  GLOBAL DEFAULT    1 boucle"},
  };
  for (const Row& r : rows) EXPECT_TRUE(Has(symbols, r.row)) << r.name << "\n" << symbols;
}

TEST_F(ElfTest, ObjdumpDisassemblesUnderTheLabels) {
  const std::string text = Output("m68hc11-objdump -d " + elf).value_or("");
  EXPECT_TRUE(Has(text, "file format elf32-m68hc11")) << text;
  EXPECT_TRUE(Has(text, "<compte>:")) << text;
  EXPECT_TRUE(Has(text, "inx")) << text;
  EXPECT_TRUE(Has(text, "staa")) << text;
}

TEST(ElfImageTest, DataLabelsAreObjectsAndSectionsFollowTheLoadedBytes) {
  Listing listing;
  listing.Symbols.ListSymbI.push_back({"", Tsym{"compteur", 0x0010, 'I'}});
  listing.Symbols.ListSymbI.push_back({"", Tsym{"main", 0xE000, 'I'}});
  (*listing.ListingMap)[0xE000] = kMapListing;
  listing.FunctionList.entries["MAIN"] = {0xE000, 0};
  auto code = std::make_unique<gdb::CodeImage>();
  for (std::uint16_t a : {0xE000, 0xE001, 0xE002, 0xF000}) code->loaded[a] = true;
  const gdb::ElfImage image = gdb::ProgramElfImage(*code, listing, 0xE000);
  ASSERT_EQ(image.sections.size(), 2u);
  EXPECT_EQ(image.sections[0].bytes.size(), 3u);
  EXPECT_EQ(image.sections[1].name, ".text.1");
  ASSERT_EQ(image.symbols.size(), 2u);
  EXPECT_EQ(image.symbols[0].name, "compteur");
  EXPECT_EQ(image.symbols[0].type, gdb::ElfSymbolType::Object);
  EXPECT_EQ(image.symbols[1].type, gdb::ElfSymbolType::Function);
  EXPECT_EQ(image.symbols[1].size, 3u);
}

// Code, a routine called only through a macro, an interrupt routine named by
// the vectors, and tables in the code: each label typed as what it names.
constexpr const char* kCodeAndTables = R"(attendre macro
        ldA     #\1
        call    tempo
        endm
        org     $E000
debprog_
        ldS     #$00FF
        call    Banner
        jmp     debprog_
Banner
        ldX     #table
@suite
        attendre 2
        ret
isr_none
        reti
table
        dw      Banner
        dw      isr_none
octets  db      1,2,3
        fill    0,2
tempo
        decA
        bne     tempo
        ret
        org     $FFFE
        dw      isr_none
)";

TEST(ElfImageTest, EachLabelIsTypedAsWhatItNamesAndSizedToItsOwnBytes) {
  const auto dir = ProfileFolder();
  const std::string base = Assemble(dir, "tables", kCodeAndTables);
  RecordingHooks hooks;
  RecordingMessages messages;
  Session session(hooks, messages);
  session.SetUseWorkspace(false);
  session.Load(base);
  auto code = std::make_unique<gdb::CodeImage>();
  ASSERT_TRUE(gdb::ReadCodeImage(ProgramImageName(base), *code, messages));
  const gdb::ElfImage image = gdb::ProgramElfImage(*code, session.listing(), 0xE000);
  struct Row {
    const char* name;
    gdb::ElfSymbolType type;
    std::uint32_t size;
  } rows[] = {
      {"debprog_", gdb::ElfSymbolType::Function, 9},  // ldS, call, jmp
      {"Banner", gdb::ElfSymbolType::Function, 9},    // ldX, ldA, call, ret
      {"@suite", gdb::ElfSymbolType::NoType, 0},
      {"tempo", gdb::ElfSymbolType::Function, 4},     // called only in the expansion
      {"isr_none", gdb::ElfSymbolType::Function, 1},  // up to the table, not over it
      {"table", gdb::ElfSymbolType::Object, 4},
      {"octets", gdb::ElfSymbolType::Object, 5},  // its db and the fill after it
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const auto sym = std::find_if(image.symbols.begin(), image.symbols.end(),
                                  [&](const gdb::ElfSymbol& s) { return s.name == r.name; });
    ASSERT_NE(sym, image.symbols.end());
    EXPECT_EQ(sym->type, r.type);
    EXPECT_EQ(sym->size, r.size);
  }
}

}  // namespace
}  // namespace hc11::test
