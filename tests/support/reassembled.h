// A small program in two versions, as a user edits and assembles it again:
// two lines inserted above the loop (the code below moves by two bytes), the
// loop's jump rewritten (its line is gone) and a variable renamed.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/lstgen/generate.h"

namespace hc11::test {

// E000 ldS #$00FF   E003 clrA   E004 boucle: addA #1   E006 stA cnt   E008 jr boucle
inline constexpr const char* kFirstVersion =
    "        org     $0040\n"
    "cnt     ds      1\n"
    "gone    ds      1\n"
    "        org     $E000\n"
    "debprog_\n"
    "        ldS     #$00FF\n"
    "        clrA\n"
    "boucle\n"
    "        addA    #1\n"
    "        stA     cnt\n"
    "        jr      boucle\n"
    "        org     $FFFE\n"
    "        dw      debprog_\n"
    "        end\n";

// E000 ldS #$00FF   E003 clrA   E004 clrB   E005 clrB   E006 boucle: addA #1
// E008 stA cnt   E00A bne boucle
inline constexpr const char* kSecondVersion =
    "        org     $0040\n"
    "cnt     ds      1\n"
    "other   ds      1\n"
    "        org     $E000\n"
    "debprog_\n"
    "        ldS     #$00FF\n"
    "        clrA\n"
    "        clrB\n"
    "        clrB\n"
    "boucle\n"
    "        addA    #1\n"
    "        stA     cnt\n"
    "        bne     boucle\n"
    "        org     $FFFE\n"
    "        dw      debprog_\n"
    "        end\n";

inline constexpr std::uint16_t kStoreBefore = 0xE006, kJumpBefore = 0xE008;
inline constexpr std::uint16_t kStoreAfter = 0xE008;

// Writes `base`.lst and `base`.HEX from `source`.
inline void AssembleAs(const std::string& base, const std::string& source) {
  const std::string asmPath = base + ".asm";
  std::ofstream(asmPath) << source;
  std::ostringstream diagnostics;
  ASSERT_TRUE(lstgen::GenerateFiles(asmPath, base, diagnostics)) << diagnostics.str();
}

}  // namespace hc11::test
