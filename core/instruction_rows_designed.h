// The designed table's 119 rows, in search order. Their handlers follow the
// designed rules in the designed mode (see exec_*.h); the exact mode runs the
// same rows as the chip does (chip_*.h).
#pragma once

#include "core/instruction_row.h"

namespace hc11 {

inline constexpr int kDesignedRowCount = 119;

namespace rows {
using H = HandlerId;

// Row order is search order: a row that also matches a later row shadows it.
inline constexpr std::array<Tinstx, kDesignedRowCount> kDesignedRows = {{
    {"test", "", 0x00, 0x00, 0x00, "test", false, "", 0, H::ExecUnsupported, {14, 0, 0, 0}},          // 0
    {"idiv", "", 0x00, 0x02, 0x00, "X = D i/ X", false, "", 0, H::ExecIdiv, {41, 0, 0, 0}},           // 1
    {"fdiv", "", 0x00, 0x03, 0x00, "X = D f/ X", false, "", 0, H::ExecFdiv, {41, 0, 0, 0}},           // 2
    {"clv", "", 0x00, 0x0A, 0x00, "bOV = 0", false, "", 0, H::ExecUnsupported, {2, 0, 0, 0}},         // 3
    {"clc", "", 0x00, 0x0C, 0x00, "bCy = 0", false, "", 0, H::ExecUnsupported, {2, 0, 0, 0}},         // 4
    {"cli", "", 0x00, 0x0E, 0x00, "cli", false, "", 0, H::ExecCli, {2, 0, 0, 0}},                     // 5
    {"decA", "", 0x00, 0x4A, 0x00, "A = A -1", false, "", 0, H::ExecDec8, {2, 0, 0, 0}},              // 6
    {"decB", "", 0x00, 0x5A, 0x00, "B = B -1", false, "", 1, H::ExecDec8, {2, 0, 0, 0}},              // 7
    {"decX", "", 0x00, 0x09, 0x00, "X = X -1", false, "", 2, H::ExecDex, {3, 0, 0, 0}},               // 8
    {"tAB", "", 0x00, 0x16, 0x00, "B = A", false, "", 0, H::ExecTab, {2, 0, 0, 0}},                   // 9
    {"ldS", "jdXh", 0x00, 0x8E, 0x30, "SP = %s", false, "S=.", 4, H::ExecLoad, {3, 4, 5, 5}},         // 10
    {"ldA", "idXh", 0x00, 0x86, 0x30, "A = %s", false, "A=.", 0, H::ExecLoad, {2, 3, 4, 4}},          // 11
    {"ldB", "idXh", 0x00, 0xC6, 0x30, "B = %s", false, "B=.", 1, H::ExecLoad, {2, 3, 4, 4}},          // 12
    {"ldD", "jdXh", 0x00, 0xCC, 0x30, "D = %s,1", false, "D=.", 7, H::ExecLoadD, {3, 4, 5, 5}},       // 13
    {"ldX", "jdXh", 0x00, 0xCE, 0x30, "X = %s", false, "X=.", 2, H::ExecLoad, {3, 4, 5, 5}},          // 14
    {"ldY", "jdYh", 0x18, 0xCE, 0x30, "Y = %s", false, "Y=.", 3, H::ExecLoad, {4, 5, 6, 6}},          // 15
    {"stX", ".dXh", 0x00, 0xCF, 0x30, "%s = X", false, "X=.", 2, H::ExecStore16, {0, 4, 5, 5}},       // 16
    {"ei", "", 0x00, 0x0E, 0x00, "ei", false, "n=n", 0, H::ExecNothing, {2, 0, 0, 0}},                // 17
    {"di", "", 0x00, 0x0F, 0x00, "di", false, "n=n", 0, H::ExecNothing, {2, 0, 0, 0}},                // 18
    {"callr", "r", 0x00, 0x8D, 0x00, "call %s", false, "P=.", 5, H::ExecCall, {6, 0, 0, 0}},          // 19
    {"call", ".dXh", 0x00, 0x8D, 0x30, "call %s", false, "P=.", 5, H::ExecCall, {0, 5, 6, 6}},        // 20
    {"jmp", "h", 0x00, 0x7E, 0x00, "jmp", false, "p=.", 5, H::ExecJump, {3, 0, 0, 0}},                // 21
    {"jr", "r", 0x00, 0x20, 0x00, "jmp", false, "p=.", 5, H::ExecJump, {3, 0, 0, 0}},                 // 22
    {"ble", "r", 0x00, 0x2F, 0x00, "<=", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},                // 23
    {"bne", "r", 0x00, 0x26, 0x00, "#", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},                 // 24
    {"beq", "r", 0x00, 0x27, 0x00, "=", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},                 // 25
    {"bge", "r", 0x00, 0x2C, 0x00, ">=", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},                // 26
    {"bhi", "r", 0x00, 0x22, 0x00, ">", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},                 // 27
    {"bls", "r", 0x00, 0x23, 0x00, "<", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},                 // 28
    {"bcc", "r", 0x00, 0x24, 0x00, "C=0", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},               // 29
    {"bcs", "r", 0x00, 0x25, 0x00, "C=1", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},               // 30
    {"blt", "r", 0x00, 0x2D, 0x00, "<s", true, "", 5, H::ExecBranch, {3, 0, 0, 0}},                   // 31
    {"brset", "dmr", 0x00, 0x12, 0x00, "%s and %s = 1", true, "c=.", 2, H::ExecBrset, {6, 0, 0, 0}},  // 32
    {"brclr", "dmr", 0x00, 0x13, 0x00, "%s and %s = 0", true, "c=.", 2, H::ExecBrclr, {6, 0, 0, 0}},  // 33
    {"brset",
     "Xmr",
     0x00,
     0x1E,
     0x00,
     "[%s,%s] and %s = 1",
     true,
     "c=.",
     3,
     H::ExecBrset,
     {7, 0, 0, 0}},  // 34
    {"brset",
     "Ymr",
     0x18,
     0x1E,
     0x00,
     "[%s,%s] and %s = 1",
     true,
     "c=.",
     3,
     H::ExecUnsupported,
     {8, 0, 0, 0}},  // 35
    {"brclr",
     "Xmr",
     0x00,
     0x1F,
     0x00,
     "[%s,%s] and %s = 0",
     true,
     "c=.",
     2,
     H::ExecBrclr,
     {7, 0, 0, 0}},  // 36
    {"brclr",
     "Ymr",
     0x18,
     0x1F,
     0x00,
     "[%s,%s] and %s = 0",
     true,
     "c=",
     3,
     H::ExecBrclr,
     {8, 0, 0, 0}},                                                                                   // 37
    {"bitA", "idXh", 0x00, 0x85, 0x30, "A - %s", false, "", 0, H::ExecUnsupported, {2, 3, 4, 4}},     // 38
    {"bitB", "idXh", 0x00, 0xC5, 0x30, "B - %s", false, "", 1, H::ExecUnsupported, {2, 3, 4, 4}},     // 39
    {"clrA", "", 0x00, 0x4F, 0x00, "A = 0", false, "A=0", 0, H::ExecClear, {2, 0, 0, 0}},             // 40
    {"clrB", "", 0x00, 0x5F, 0x00, "B = 0", false, "B=0", 1, H::ExecClear, {2, 0, 0, 0}},             // 41
    {"mul", "", 0x00, 0x3D, 0x00, "D = A * B", false, "", 0, H::ExecMul, {10, 0, 0, 0}},              // 42
    {"comA", "", 0x00, 0x43, 0x00, "A = -A", false, "", 0, H::ExecComA, {2, 0, 0, 0}},                // 43
    {"comB", "", 0x00, 0x53, 0x00, "B = -B", false, "", 1, H::ExecComB, {2, 0, 0, 0}},                // 44
    {"aBX", "", 0x00, 0x3A, 0x00, "X = X +B", false, "", 0, H::ExecAbx, {3, 0, 0, 0}},                // 45
    {"clr", "Xh", 0x00, 0x6F, 0x10, "%s = 0", false, ".=0", 2, H::ExecClear, {6, 6, 0, 0}},           // 46
    {"tstA", "", 0x00, 0x4D, 0x00, "A - 0", false, "", 0, H::ExecTest, {2, 0, 0, 0}},                 // 47
    {"tstB", "", 0x00, 0x5D, 0x00, "B - 0", false, "", 1, H::ExecTest, {2, 0, 0, 0}},                 // 48
    {"pushA", "", 0x00, 0x36, 0x00, "Push A", false, "e=A", 0, H::ExecPush, {3, 0, 0, 0}},            // 49
    {"pushB", "", 0x00, 0x37, 0x00, "Push B", false, "e=B", 1, H::ExecPush, {3, 0, 0, 0}},            // 50
    {"pushX", "", 0x00, 0x3C, 0x00, "Push X", false, "e=X", 2, H::ExecPush, {4, 0, 0, 0}},            // 51
    {"popA", "", 0x00, 0x32, 0x00, "Pop A", false, "A=e", 0, H::ExecPull, {4, 0, 0, 0}},              // 52
    {"popB", "", 0x00, 0x33, 0x00, "Pop B", false, "B=e", 1, H::ExecPull, {4, 0, 0, 0}},              // 53
    {"popX", "", 0x00, 0x38, 0x00, "Pop X", false, "X=e", 2, H::ExecPull, {5, 0, 0, 0}},              // 54
    {"incA", "", 0x00, 0x4C, 0x00, "A = A +1", false, "A+1", 0, H::ExecInc8, {2, 0, 0, 0}},           // 55
    {"incB", "", 0x00, 0x5C, 0x00, "B = B + 1", false, "B+1", 1, H::ExecInc8, {2, 0, 0, 0}},          // 56
    {"incX", "", 0x00, 0x08, 0x00, "X = X + 1", false, "X+1", 2, H::ExecInx, {3, 0, 0, 0}},           // 57
    {"incY", "", 0x18, 0x08, 0x00, "Y = Y + 1", false, "X+1", 3, H::ExecInx, {4, 0, 0, 0}},           // 58
    {"incS", "", 0x00, 0x31, 0x00, "SP = SP + 1", false, "S+1", 4, H::ExecIns, {3, 0, 0, 0}},         // 59
    {"decS", "", 0x00, 0x34, 0x00, "SP = SP - 1", false, "S-1", 4, H::ExecDes, {3, 0, 0, 0}},         // 60
    {"bclr", "dm", 0x00, 0x15, 0x00, "bit %s.%s = 0", false, "c=.", 0, H::ExecBclr, {6, 0, 0, 0}},    // 61
    {"bclr", "Xm", 0x00, 0x1D, 0x00, "bit %s.%s = 0", false, "c=.", 2, H::ExecBclr, {7, 0, 0, 0}},    // 62
    {"bclr", "Ym", 0x18, 0x1D, 0x00, "bit %s.%s = 0", false, "c=.", 3, H::ExecBclr, {8, 0, 0, 0}},    // 63
    {"bset", "dm", 0x00, 0x14, 0x00, "bit %s.%s = 1", false, "b=.", 0, H::ExecBset, {6, 0, 0, 0}},    // 64
    {"bset", "Xm", 0x00, 0x1C, 0x00, "bit %s.%s = 1", false, "b=X", 2, H::ExecBset, {7, 0, 0, 0}},    // 65
    {"bset", "Ym", 0x18, 0x1C, 0x00, "bit %s.%s = 1", false, "b=Y", 3, H::ExecBset, {8, 0, 0, 0}},    // 66
    {"cmpA", "idXh", 0x00, 0x81, 0x30, "A - %s", false, "", 0, H::ExecCompare8, {2, 3, 4, 4}},        // 67
    {"cmpB", "idXh", 0x00, 0xC1, 0x30, "B - %s", false, "", 1, H::ExecCompare8, {2, 3, 4, 4}},        // 68
    {"cmpX", "jdXh", 0x00, 0x8C, 0x30, "X - %s", false, "", 2, H::ExecCompare16, {4, 5, 6, 6}},       // 69
    {"negA", "", 0x00, 0x40, 0x00, "A = -A ", false, "", 0, H::ExecUnsupported, {2, 0, 0, 0}},        // 70
    {"negB", "", 0x00, 0x50, 0x00, "B = -B", false, "", 1, H::ExecUnsupported, {2, 0, 0, 0}},         // 71
    {"ret", "", 0x00, 0x39, 0x00, "ret", false, "r=n", 0, H::ExecRts, {5, 0, 0, 0}},                  // 72
    {"reti", "", 0x00, 0x3B, 0x00, "reti", false, "r=n", 0, H::ExecRti, {12, 0, 0, 0}},               // 73
    {"tBA", "", 0x00, 0x17, 0x00, "A = B", false, "", 0, H::ExecTba, {2, 0, 0, 0}},                   // 74
    {"tPA", "", 0x00, 0x07, 0x00, "A = CC", false, "", 0, H::ExecTpa, {2, 0, 0, 0}},                  // 75
    {"tSX", "", 0x00, 0x30, 0x00, "X = SP+1", false, "X+S", 0, H::ExecTsx, {3, 0, 0, 0}},             // 76
    {"tXS", "", 0x00, 0x35, 0x00, "SP = X -1", false, "S-X", 0, H::ExecTxs, {3, 0, 0, 0}},            // 77
    {"rolA", "", 0x00, 0x49, 0x00, "A = A * 2", false, "", 0, H::ExecUnsupported, {2, 0, 0, 0}},      // 78
    {"rolB", "", 0x00, 0x59, 0x00, "B = B * 2", false, "", 1, H::ExecUnsupported, {2, 0, 0, 0}},      // 79
    {"rol", "Xh", 0x00, 0x69, 0x10, "%s = %s * 2", false, "", 2, H::ExecUnsupported, {6, 6, 0, 0}},   // 80
    {"ror", "Xh", 0x00, 0x66, 0x10, "%s = %s / 2", false, "", 2, H::ExecUnsupported, {6, 6, 0, 0}},   // 81
    {"lsr", "Xh", 0x00, 0x64, 0x10, "%s = %s / 2", false, "", 2, H::ExecLsr, {6, 6, 0, 0}},           // 82
    {"lsl", "Xh", 0x00, 0x68, 0x10, "%s = %s * 2", false, "", 2, H::ExecLsl, {6, 6, 0, 0}},           // 83
    {"lslA", "", 0x00, 0x48, 0x00, "A = A * 2", false, "", 0, H::ExecLsl, {2, 0, 0, 0}},              // 84
    {"lsrA", "", 0x00, 0x44, 0x00, "A = A / 2", false, "", 0, H::ExecLsr, {2, 0, 0, 0}},              // 85
    {"lsrB", "", 0x00, 0x54, 0x00, "B = B / 2", false, "", 1, H::ExecLsr, {2, 0, 0, 0}},              // 86
    {"lsrD", "", 0x00, 0x04, 0x00, "D = D / 2", false, "", 7, H::ExecLsrD, {3, 0, 0, 0}},             // 87
    {"lslD", "", 0x00, 0x05, 0x00, "D = D * 2", false, "", 7, H::ExecLslD, {3, 0, 0, 0}},             // 88
    {"lslB", "", 0x00, 0x58, 0x00, "B = B * 2", false, "", 1, H::ExecLsl, {2, 0, 0, 0}},              // 89
    {"lsl", "Xh", 0x00, 0x68, 0x10, "%s = %s * 2", false, "", 2, H::ExecLsl, {6, 6, 0, 0}},           // 90
    {"aBA", "", 0x00, 0x1B, 0x00, "A = A + B", false, "A+B", 0, H::ExecAba, {2, 0, 0, 0}},            // 91
    {"oraA", "idXh", 0x00, 0x8A, 0x30, "A = A or %s", false, "Ao.", 0, H::ExecOr, {2, 3, 4, 4}},      // 92
    {"oraB", "idXh", 0x00, 0xCA, 0x30, "B = B or %s", false, "Bo.", 1, H::ExecOr, {2, 3, 4, 4}},      // 93
    {"andA", "idXh", 0x00, 0x84, 0x30, "A = A and %s", false, "Aa.", 0, H::ExecAnd, {2, 3, 4, 4}},    // 94
    {"andB", "idXh", 0x00, 0xC4, 0x30, "B = B and %s", false, "Ba.", 1, H::ExecAnd, {2, 3, 4, 4}},    // 95
    {"xorA", "idXh", 0x00, 0x88, 0x30, "A = A xor %s", false, "Ax.", 0, H::ExecEor, {2, 3, 4, 4}},    // 96
    {"xorB", "idXh", 0x00, 0xC8, 0x30, "B = B xor %s", false, "Bx.", 1, H::ExecEor, {2, 3, 4, 4}},    // 97
    {"addA", "idXh", 0x00, 0x8B, 0x30, "A = A + %s", false, "A+.", 0, H::ExecAdd, {2, 3, 4, 4}},      // 98
    {"addB", "idXh", 0x00, 0xCB, 0x30, "B = B + %s", false, "B+.", 1, H::ExecAdd, {2, 3, 4, 4}},      // 99
    {"addD", "jdXh", 0x00, 0xC3, 0x30, "D = D + %s,1", false, "D+.", 7, H::ExecAddD, {4, 5, 6, 6}},   // 100
    {"adcA", "idXh", 0x00, 0x89, 0x30, "A = A + %s +cy", false, "A+.", 0, H::ExecAdc, {2, 3, 4, 4}},  // 101
    {"adcB", "idXh", 0x00, 0xC9, 0x30, "B = B + %s +cy", false, "B+.", 1, H::ExecAdc, {2, 3, 4, 4}},  // 102
    {"subA", "idXh", 0x00, 0x80, 0x30, "A = A - %s", false, "A-.", 0, H::ExecSub, {2, 3, 4, 4}},      // 103
    {"subB", "idXh", 0x00, 0xC0, 0x30, "B = B - %s", false, "B-.", 1, H::ExecSub, {2, 3, 4, 4}},      // 104
    {"subD", "jdXh", 0x00, 0x83, 0x30, "D = D - %s", false, "D-.", 7, H::ExecSubD, {4, 5, 6, 6}},     // 105
    {"cmpD", "jdXh", 0x1A, 0x83, 0x30, "D -%s", false, "", 7, H::ExecCompare16, {5, 6, 7, 7}},        // 106
    {"sbcA", "idXh", 0x00, 0x82, 0x30, "A = A - %s -cy", false, "A-.", 0, H::ExecSbc, {2, 3, 4, 4}},  // 107
    {"sbcB", "idXh", 0x00, 0xC2, 0x30, "B = B - %s -cy", false, "B-.", 1, H::ExecSbc, {2, 3, 4, 4}},  // 108
    {"xgDX", "", 0x00, 0x8F, 0x00, "D xchg X", false, "DeX", 0, H::ExecXgdx, {3, 0, 0, 0}},           // 109
    {"dec", "Xh", 0x00, 0x6A, 0x10, "%s = %s - 1", false, "X+1", 2, H::ExecDec8, {6, 6, 0, 0}},       // 110
    {"inc", "Xh", 0x00, 0x6C, 0x10, "%s = %s + 1", false, "X-1", 2, H::ExecInc8, {6, 6, 0, 0}},       // 111
    {"inc", "Yh", 0x18, 0x6C, 0x10, "%s = %s + 1", false, "X-1", 3, H::ExecInc8, {7, 7, 0, 0}},       // 112
    {"stD", ".dXh", 0x00, 0xCD, 0x30, "%s,1 = D", false, ".=D", 7, H::ExecStore16, {0, 4, 5, 5}},     // 113
    {"stD", "Y", 0x18, 0xED, 0x00, "%s,1 = D", false, ".=D", 7, H::ExecStore16, {6, 0, 0, 0}},        // 114
    {"stA", ".dXh", 0x00, 0x87, 0x30, "%s = A", false, ".=A", 0, H::ExecStore8, {0, 3, 4, 4}},        // 115
    {"stA", "Y", 0x18, 0xA7, 0x00, "%s = A", false, ".=A", 0, H::ExecStore8, {5, 0, 0, 0}},           // 116
    {"stB", ".dXh", 0x00, 0xC7, 0x30, "%s = B", false, ".=B", 1, H::ExecStore8, {0, 3, 4, 4}},        // 117
    {"stB", "Y", 0x18, 0xE7, 0x00, "%s = B", false, ".=B", 1, H::ExecStore8, {5, 0, 0, 0}},           // 118
}};

}  // namespace rows
}  // namespace hc11
