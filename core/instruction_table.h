// The fixed instruction table: one row per instruction form the simulator
// knows, in search order. The decoder, the executor and the flowchart's
// pseudo-code rewriting all read these rows; nothing else describes opcodes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace hc11 {

enum class HandlerId : std::uint8_t {
  ExecUnsupported,
  ExecIdiv,
  ExecFdiv,
  ExecCli,
  ExecDec8,
  ExecDex,
  ExecTab,
  ExecLoad,
  ExecLoadD,
  ExecStore16,
  ExecNothing,
  ExecCall,
  ExecJump,
  ExecBranch,
  ExecBrset,
  ExecBrclr,
  ExecClear,
  ExecMul,
  ExecComA,
  ExecComB,
  ExecAbx,
  ExecTest,
  ExecPush,
  ExecPull,
  ExecInc8,
  ExecInx,
  ExecIns,
  ExecDes,
  ExecBclr,
  ExecBset,
  ExecCompare8,
  ExecCompare16,
  ExecRts,
  ExecRti,
  ExecTba,
  ExecTpa,
  ExecTsx,
  ExecTxs,
  ExecLsr,
  ExecLsl,
  ExecLsrD,
  ExecLslD,
  ExecAba,
  ExecOr,
  ExecAnd,
  ExecEor,
  ExecAdd,
  ExecAddD,
  ExecAdc,
  ExecSub,
  ExecSubD,
  ExecSbc,
  ExecXgdx,
  ExecStore8,
  Count
};

// Register index used by the rows and handlers.
enum RegKind : std::uint8_t {
  RegA = 0,
  RegB = 1,
  RegX = 2,
  RegY = 3,
  RegSP = 4,
  RegPC = 5,
  RegCC = 6,
  RegD = 7
};

struct Tinstx {
  std::string_view mnemonic;
  std::string_view pattern;  // OperandPattern
  std::uint8_t prefix;
  std::uint8_t base;
  std::uint8_t mask;
  std::string_view pseudoCode;
  bool condBranch;
  std::string_view flowCode;  // at most 3 characters
  std::uint8_t regKind;
  HandlerId handler;
};

inline constexpr int kInstructionRows = 119;

// Row order is search order: a row that also matches a later row shadows it.
inline constexpr std::array<Tinstx, kInstructionRows> InstructionTable = {{
    {"test", "", 0x00, 0x00, 0x00, "test", false, "", 0, HandlerId::ExecUnsupported},                // 0
    {"idiv", "", 0x00, 0x02, 0x00, "X = D i/ X", false, "", 0, HandlerId::ExecIdiv},                 // 1
    {"fdiv", "", 0x00, 0x03, 0x00, "X = D f/ X", false, "", 0, HandlerId::ExecFdiv},                 // 2
    {"clv", "", 0x00, 0x0A, 0x00, "bOV = 0", false, "", 0, HandlerId::ExecUnsupported},              // 3
    {"clc", "", 0x00, 0x0C, 0x00, "bCy = 0", false, "", 0, HandlerId::ExecUnsupported},              // 4
    {"cli", "", 0x00, 0x0E, 0x00, "cli", false, "", 0, HandlerId::ExecCli},                          // 5
    {"decA", "", 0x00, 0x4A, 0x00, "A = A -1", false, "", 0, HandlerId::ExecDec8},                   // 6
    {"decB", "", 0x00, 0x5A, 0x00, "B = B -1", false, "", 1, HandlerId::ExecDec8},                   // 7
    {"decX", "", 0x00, 0x09, 0x00, "X = X -1", false, "", 2, HandlerId::ExecDex},                    // 8
    {"tAB", "", 0x00, 0x16, 0x00, "B = A", false, "", 0, HandlerId::ExecTab},                        // 9
    {"ldS", "jdXh", 0x00, 0x8E, 0x30, "SP = %s", false, "S=.", 4, HandlerId::ExecLoad},              // 10
    {"ldA", "idXh", 0x00, 0x86, 0x30, "A = %s", false, "A=.", 0, HandlerId::ExecLoad},               // 11
    {"ldB", "idXh", 0x00, 0xC6, 0x30, "B = %s", false, "B=.", 1, HandlerId::ExecLoad},               // 12
    {"ldD", "jdXh", 0x00, 0xCC, 0x30, "D = %s,1", false, "D=.", 7, HandlerId::ExecLoadD},            // 13
    {"ldX", "jdXh", 0x00, 0xCE, 0x30, "X = %s", false, "X=.", 2, HandlerId::ExecLoad},               // 14
    {"ldY", "jdYh", 0x18, 0xCE, 0x30, "Y = %s", false, "Y=.", 3, HandlerId::ExecLoad},               // 15
    {"stX", ".dXh", 0x00, 0xCF, 0x30, "%s = X", false, "X=.", 2, HandlerId::ExecStore16},            // 16
    {"ei", "", 0x00, 0x0E, 0x00, "ei", false, "n=n", 0, HandlerId::ExecNothing},                     // 17
    {"di", "", 0x00, 0x0F, 0x00, "di", false, "n=n", 0, HandlerId::ExecNothing},                     // 18
    {"callr", "r", 0x00, 0x8D, 0x00, "call %s", false, "P=.", 5, HandlerId::ExecCall},               // 19
    {"call", ".dXh", 0x00, 0x8D, 0x30, "call %s", false, "P=.", 5, HandlerId::ExecCall},             // 20
    {"jmp", "h", 0x00, 0x7E, 0x00, "jmp", false, "p=.", 5, HandlerId::ExecJump},                     // 21
    {"jr", "r", 0x00, 0x20, 0x00, "jmp", false, "p=.", 5, HandlerId::ExecJump},                      // 22
    {"ble", "r", 0x00, 0x2F, 0x00, "<=", true, "c=.", 5, HandlerId::ExecBranch},                     // 23
    {"bne", "r", 0x00, 0x26, 0x00, "#", true, "c=.", 5, HandlerId::ExecBranch},                      // 24
    {"beq", "r", 0x00, 0x27, 0x00, "=", true, "c=.", 5, HandlerId::ExecBranch},                      // 25
    {"bge", "r", 0x00, 0x2C, 0x00, ">=", true, "c=.", 5, HandlerId::ExecBranch},                     // 26
    {"bhi", "r", 0x00, 0x22, 0x00, ">", true, "c=.", 5, HandlerId::ExecBranch},                      // 27
    {"bls", "r", 0x00, 0x23, 0x00, "<", true, "c=.", 5, HandlerId::ExecBranch},                      // 28
    {"bcc", "r", 0x00, 0x24, 0x00, "C=0", true, "c=.", 5, HandlerId::ExecBranch},                    // 29
    {"bcs", "r", 0x00, 0x25, 0x00, "C=1", true, "c=.", 5, HandlerId::ExecBranch},                    // 30
    {"blt", "r", 0x00, 0x2D, 0x00, "<s", true, "", 5, HandlerId::ExecBranch},                        // 31
    {"brset", "dmr", 0x00, 0x12, 0x00, "%s and %s = 1", true, "c=.", 2, HandlerId::ExecBrset},       // 32
    {"brclr", "dmr", 0x00, 0x13, 0x00, "%s and %s = 0", true, "c=.", 2, HandlerId::ExecBrclr},       // 33
    {"brset", "Xmr", 0x00, 0x1E, 0x00, "[%s,%s] and %s = 1", true, "c=.", 3, HandlerId::ExecBrset},  // 34
    {"brset", "Ymr", 0x18, 0x1E, 0x00, "[%s,%s] and %s = 1", true, "c=.", 3,
     HandlerId::ExecUnsupported},                                                                    // 35
    {"brclr", "Xmr", 0x00, 0x1F, 0x00, "[%s,%s] and %s = 0", true, "c=.", 2, HandlerId::ExecBrclr},  // 36
    {"brclr", "Ymr", 0x18, 0x1F, 0x00, "[%s,%s] and %s = 0", true, "c=", 3, HandlerId::ExecBrclr},   // 37
    {"bitA", "idXh", 0x00, 0x85, 0x30, "A - %s", false, "", 0, HandlerId::ExecUnsupported},          // 38
    {"bitB", "idXh", 0x00, 0xC5, 0x30, "B - %s", false, "", 1, HandlerId::ExecUnsupported},          // 39
    {"clrA", "", 0x00, 0x4F, 0x00, "A = 0", false, "A=0", 0, HandlerId::ExecClear},                  // 40
    {"clrB", "", 0x00, 0x5F, 0x00, "B = 0", false, "B=0", 1, HandlerId::ExecClear},                  // 41
    {"mul", "", 0x00, 0x3D, 0x00, "D = A * B", false, "", 0, HandlerId::ExecMul},                    // 42
    {"comA", "", 0x00, 0x43, 0x00, "A = -A", false, "", 0, HandlerId::ExecComA},                     // 43
    {"comB", "", 0x00, 0x53, 0x00, "B = -B", false, "", 1, HandlerId::ExecComB},                     // 44
    {"aBX", "", 0x00, 0x3A, 0x00, "X = X +B", false, "", 0, HandlerId::ExecAbx},                     // 45
    {"clr", "Xh", 0x00, 0x6F, 0x10, "%s = 0", false, ".=0", 2, HandlerId::ExecClear},                // 46
    {"tstA", "", 0x00, 0x4D, 0x00, "A - 0", false, "", 0, HandlerId::ExecTest},                      // 47
    {"tstB", "", 0x00, 0x5D, 0x00, "B - 0", false, "", 1, HandlerId::ExecTest},                      // 48
    {"pushA", "", 0x00, 0x36, 0x00, "Push A", false, "e=A", 0, HandlerId::ExecPush},                 // 49
    {"pushB", "", 0x00, 0x37, 0x00, "Push B", false, "e=B", 1, HandlerId::ExecPush},                 // 50
    {"pushX", "", 0x00, 0x3C, 0x00, "Push X", false, "e=X", 2, HandlerId::ExecPush},                 // 51
    {"popA", "", 0x00, 0x32, 0x00, "Pop A", false, "A=e", 0, HandlerId::ExecPull},                   // 52
    {"popB", "", 0x00, 0x33, 0x00, "Pop B", false, "B=e", 1, HandlerId::ExecPull},                   // 53
    {"popX", "", 0x00, 0x38, 0x00, "Pop X", false, "X=e", 2, HandlerId::ExecPull},                   // 54
    {"incA", "", 0x00, 0x4C, 0x00, "A = A +1", false, "A+1", 0, HandlerId::ExecInc8},                // 55
    {"incB", "", 0x00, 0x5C, 0x00, "B = B + 1", false, "B+1", 1, HandlerId::ExecInc8},               // 56
    {"incX", "", 0x00, 0x08, 0x00, "X = X + 1", false, "X+1", 2, HandlerId::ExecInx},                // 57
    {"incY", "", 0x18, 0x08, 0x00, "Y = Y + 1", false, "X+1", 3, HandlerId::ExecInx},                // 58
    {"incS", "", 0x00, 0x31, 0x00, "SP = SP + 1", false, "S+1", 4, HandlerId::ExecIns},              // 59
    {"decS", "", 0x00, 0x34, 0x00, "SP = SP - 1", false, "S-1", 4, HandlerId::ExecDes},              // 60
    {"bclr", "dm", 0x00, 0x15, 0x00, "bit %s.%s = 0", false, "c=.", 0, HandlerId::ExecBclr},         // 61
    {"bclr", "Xm", 0x00, 0x1D, 0x00, "bit %s.%s = 0", false, "c=.", 2, HandlerId::ExecBclr},         // 62
    {"bclr", "Ym", 0x18, 0x1D, 0x00, "bit %s.%s = 0", false, "c=.", 3, HandlerId::ExecBclr},         // 63
    {"bset", "dm", 0x00, 0x14, 0x00, "bit %s.%s = 1", false, "b=.", 0, HandlerId::ExecBset},         // 64
    {"bset", "Xm", 0x00, 0x1C, 0x00, "bit %s.%s = 1", false, "b=X", 2, HandlerId::ExecBset},         // 65
    {"bset", "Ym", 0x18, 0x1C, 0x00, "bit %s.%s = 1", false, "b=Y", 3, HandlerId::ExecBset},         // 66
    {"cmpA", "idXh", 0x00, 0x81, 0x30, "A - %s", false, "", 0, HandlerId::ExecCompare8},             // 67
    {"cmpB", "idXh", 0x00, 0xC1, 0x30, "B - %s", false, "", 1, HandlerId::ExecCompare8},             // 68
    {"cmpX", "jdXh", 0x00, 0x8C, 0x30, "X - %s", false, "", 2, HandlerId::ExecCompare16},            // 69
    {"negA", "", 0x00, 0x40, 0x00, "A = -A ", false, "", 0, HandlerId::ExecUnsupported},             // 70
    {"negB", "", 0x00, 0x50, 0x00, "B = -B", false, "", 1, HandlerId::ExecUnsupported},              // 71
    {"ret", "", 0x00, 0x39, 0x00, "ret", false, "r=n", 0, HandlerId::ExecRts},                       // 72
    {"reti", "", 0x00, 0x3B, 0x00, "reti", false, "r=n", 0, HandlerId::ExecRti},                     // 73
    {"tBA", "", 0x00, 0x17, 0x00, "A = B", false, "", 0, HandlerId::ExecTba},                        // 74
    {"tPA", "", 0x00, 0x07, 0x00, "A = CC", false, "", 0, HandlerId::ExecTpa},                       // 75
    {"tSX", "", 0x00, 0x30, 0x00, "X = SP+1", false, "X+S", 0, HandlerId::ExecTsx},                  // 76
    {"tXS", "", 0x00, 0x35, 0x00, "SP = X -1", false, "S-X", 0, HandlerId::ExecTxs},                 // 77
    {"rolA", "", 0x00, 0x49, 0x00, "A = A * 2", false, "", 0, HandlerId::ExecUnsupported},           // 78
    {"rolB", "", 0x00, 0x59, 0x00, "B = B * 2", false, "", 1, HandlerId::ExecUnsupported},           // 79
    {"rol", "Xh", 0x00, 0x69, 0x10, "%s = %s * 2", false, "", 2, HandlerId::ExecUnsupported},        // 80
    {"ror", "Xh", 0x00, 0x66, 0x10, "%s = %s / 2", false, "", 2, HandlerId::ExecUnsupported},        // 81
    {"lsr", "Xh", 0x00, 0x64, 0x10, "%s = %s / 2", false, "", 2, HandlerId::ExecLsr},                // 82
    {"lsl", "Xh", 0x00, 0x68, 0x10, "%s = %s * 2", false, "", 2, HandlerId::ExecLsl},                // 83
    {"lslA", "", 0x00, 0x48, 0x00, "A = A * 2", false, "", 0, HandlerId::ExecLsl},                   // 84
    {"lsrA", "", 0x00, 0x44, 0x00, "A = A / 2", false, "", 0, HandlerId::ExecLsr},                   // 85
    {"lsrB", "", 0x00, 0x54, 0x00, "B = B / 2", false, "", 1, HandlerId::ExecLsr},                   // 86
    {"lsrD", "", 0x00, 0x04, 0x00, "D = D / 2", false, "", 7, HandlerId::ExecLsrD},                  // 87
    {"lslD", "", 0x00, 0x05, 0x00, "D = D * 2", false, "", 7, HandlerId::ExecLslD},                  // 88
    {"lslB", "", 0x00, 0x58, 0x00, "B = B * 2", false, "", 1, HandlerId::ExecLsl},                   // 89
    {"lsl", "Xh", 0x00, 0x68, 0x10, "%s = %s * 2", false, "", 2, HandlerId::ExecLsl},                // 90
    {"aBA", "", 0x00, 0x1B, 0x00, "A = A + B", false, "A+B", 0, HandlerId::ExecAba},                 // 91
    {"oraA", "idXh", 0x00, 0x8A, 0x30, "A = A or %s", false, "Ao.", 0, HandlerId::ExecOr},           // 92
    {"oraB", "idXh", 0x00, 0xCA, 0x30, "B = B or %s", false, "Bo.", 1, HandlerId::ExecOr},           // 93
    {"andA", "idXh", 0x00, 0x84, 0x30, "A = A and %s", false, "Aa.", 0, HandlerId::ExecAnd},         // 94
    {"andB", "idXh", 0x00, 0xC4, 0x30, "B = B and %s", false, "Ba.", 1, HandlerId::ExecAnd},         // 95
    {"xorA", "idXh", 0x00, 0x88, 0x30, "A = A xor %s", false, "Ax.", 0, HandlerId::ExecEor},         // 96
    {"xorB", "idXh", 0x00, 0xC8, 0x30, "B = B xor %s", false, "Bx.", 1, HandlerId::ExecEor},         // 97
    {"addA", "idXh", 0x00, 0x8B, 0x30, "A = A + %s", false, "A+.", 0, HandlerId::ExecAdd},           // 98
    {"addB", "idXh", 0x00, 0xCB, 0x30, "B = B + %s", false, "B+.", 1, HandlerId::ExecAdd},           // 99
    {"addD", "jdXh", 0x00, 0xC3, 0x30, "D = D + %s,1", false, "D+.", 7, HandlerId::ExecAddD},        // 100
    {"adcA", "idXh", 0x00, 0x89, 0x30, "A = A + %s +cy", false, "A+.", 0, HandlerId::ExecAdc},       // 101
    {"adcB", "idXh", 0x00, 0xC9, 0x30, "B = B + %s +cy", false, "B+.", 1, HandlerId::ExecAdc},       // 102
    {"subA", "idXh", 0x00, 0x80, 0x30, "A = A - %s", false, "A-.", 0, HandlerId::ExecSub},           // 103
    {"subB", "idXh", 0x00, 0xC0, 0x30, "B = B - %s", false, "B-.", 1, HandlerId::ExecSub},           // 104
    {"subD", "jdXh", 0x00, 0x83, 0x30, "D = D - %s", false, "D-.", 7, HandlerId::ExecSubD},          // 105
    {"cmpD", "jdXh", 0x1A, 0x83, 0x30, "D -%s", false, "", 7, HandlerId::ExecCompare16},             // 106
    {"sbcA", "idXh", 0x00, 0x82, 0x30, "A = A - %s -cy", false, "A-.", 0, HandlerId::ExecSbc},       // 107
    {"sbcB", "idXh", 0x00, 0xC2, 0x30, "B = B - %s -cy", false, "B-.", 1, HandlerId::ExecSbc},       // 108
    {"xgDX", "", 0x00, 0x8F, 0x00, "D xchg X", false, "DeX", 0, HandlerId::ExecXgdx},                // 109
    {"dec", "Xh", 0x00, 0x6A, 0x10, "%s = %s - 1", false, "X+1", 2, HandlerId::ExecDec8},            // 110
    {"inc", "Xh", 0x00, 0x6C, 0x10, "%s = %s + 1", false, "X-1", 2, HandlerId::ExecInc8},            // 111
    {"inc", "Yh", 0x18, 0x6C, 0x10, "%s = %s + 1", false, "X-1", 3, HandlerId::ExecInc8},            // 112
    {"stD", ".dXh", 0x00, 0xCD, 0x30, "%s,1 = D", false, ".=D", 7, HandlerId::ExecStore16},          // 113
    {"stD", "Y", 0x18, 0xED, 0x00, "%s,1 = D", false, ".=D", 7, HandlerId::ExecStore16},             // 114
    {"stA", ".dXh", 0x00, 0x87, 0x30, "%s = A", false, ".=A", 0, HandlerId::ExecStore8},             // 115
    {"stA", "Y", 0x18, 0xA7, 0x00, "%s = A", false, ".=A", 0, HandlerId::ExecStore8},                // 116
    {"stB", ".dXh", 0x00, 0xC7, 0x30, "%s = B", false, ".=B", 1, HandlerId::ExecStore8},             // 117
    {"stB", "Y", 0x18, 0xE7, 0x00, "%s = B", false, ".=B", 1, HandlerId::ExecStore8},                // 118
}};

// Names of the registers indexed by RegKind: "A", "B", "X", "Y", "SP", "PC", "CC", "D".
extern const std::array<std::string_view, 8> RegisterNames;

// First-match search in table order, exactly as the table is defined: a row
// matches when its prefix equals `prefix` and (opcode & ~mask) == base.
// Linear; the decoder uses a precomputed lookup instead.
std::optional<int> FindRow(std::uint8_t prefix, std::uint8_t opcode);

}  // namespace hc11
