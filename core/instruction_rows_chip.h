// The rows for every opcode of the chip the designed table leaves out. They
// follow the designed rows in search order, so they never shadow one, and run
// as the chip does in both modes.
#pragma once

#include "core/instruction_row.h"

namespace hc11 {

inline constexpr int kChipRowCount = 79;

namespace rows {
using H = HandlerId;

inline constexpr std::array<Tinstx, kChipRowCount> kChipRows = {{
    {"nop", "", 0x00, 0x01, 0x00, "nop", false, "n=n", 0, H::ExecNop, {2, 0, 0, 0}},                // 119
    {"tAP", "", 0x00, 0x06, 0x00, "CC = A", false, "", 0, H::ExecTap, {2, 0, 0, 0}},                // 120
    {"sev", "", 0x00, 0x0B, 0x00, "bOV = 1", false, "", 0, H::ExecSev, {2, 0, 0, 0}},               // 121
    {"sec", "", 0x00, 0x0D, 0x00, "bCy = 1", false, "", 0, H::ExecSec, {2, 0, 0, 0}},               // 122
    {"sBA", "", 0x00, 0x10, 0x00, "A = A - B", false, "A-B", 0, H::ExecSba, {2, 0, 0, 0}},          // 123
    {"cBA", "", 0x00, 0x11, 0x00, "A - B", false, "", 0, H::ExecCba, {2, 0, 0, 0}},                 // 124
    {"daa", "", 0x00, 0x19, 0x00, "A = bcd A", false, "", 0, H::ExecDaa, {2, 0, 0, 0}},             // 125
    {"brn", "r", 0x00, 0x21, 0x00, "nop", false, "", 5, H::ExecBranch, {3, 0, 0, 0}},               // 126
    {"bvc", "r", 0x00, 0x28, 0x00, "V=0", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},             // 127
    {"bvs", "r", 0x00, 0x29, 0x00, "V=1", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},             // 128
    {"bpl", "r", 0x00, 0x2A, 0x00, ">=0", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},             // 129
    {"bmi", "r", 0x00, 0x2B, 0x00, "<0", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},              // 130
    {"bgt", "r", 0x00, 0x2E, 0x00, ">s", true, "c=.", 5, H::ExecBranch, {3, 0, 0, 0}},              // 131
    {"wai", "", 0x00, 0x3E, 0x00, "wai", false, "", 0, H::ExecWai, {14, 0, 0, 0}},                  // 132
    {"swi", "", 0x00, 0x3F, 0x00, "swi", false, "P=.", 5, H::ExecSwi, {14, 0, 0, 0}},               // 133
    {"rorA", "", 0x00, 0x46, 0x00, "A = A / 2", false, "", 0, H::ExecRor, {2, 0, 0, 0}},            // 134
    {"asrA", "", 0x00, 0x47, 0x00, "A = A s/ 2", false, "", 0, H::ExecAsr, {2, 0, 0, 0}},           // 135
    {"rorB", "", 0x00, 0x56, 0x00, "B = B / 2", false, "", 1, H::ExecRor, {2, 0, 0, 0}},            // 136
    {"asrB", "", 0x00, 0x57, 0x00, "B = B s/ 2", false, "", 1, H::ExecAsr, {2, 0, 0, 0}},           // 137
    {"neg", "Xh", 0x00, 0x60, 0x10, "%s = -%s", false, "", 2, H::ExecNeg, {6, 6, 0, 0}},            // 138
    {"com", "Xh", 0x00, 0x63, 0x10, "%s = not %s", false, "", 2, H::ExecCom, {6, 6, 0, 0}},         // 139
    {"asr", "Xh", 0x00, 0x67, 0x10, "%s = %s s/ 2", false, "", 2, H::ExecAsr, {6, 6, 0, 0}},        // 140
    {"tst", "Xh", 0x00, 0x6D, 0x10, "%s - 0", false, "", 2, H::ExecTest, {6, 6, 0, 0}},             // 141
    {"jmp", "X", 0x00, 0x6E, 0x00, "jmp", false, "p=.", 5, H::ExecJump, {3, 0, 0, 0}},              // 142
    {"stS", ".dXh", 0x00, 0x8F, 0x30, "%s,1 = SP", false, ".=S", 4, H::ExecStore16, {0, 4, 5, 5}},  // 143
    {"stop", "", 0x00, 0xCF, 0x00, "stop", false, "", 0, H::ExecStop, {2, 0, 0, 0}},                // 144
    {"decY", "", 0x18, 0x09, 0x00, "Y = Y -1", false, "Y-1", 3, H::ExecDex, {4, 0, 0, 0}},          // 145
    {"tSY", "", 0x18, 0x30, 0x00, "Y = SP+1", false, "Y+S", 3, H::ExecTsx, {4, 0, 0, 0}},           // 146
    {"tYS", "", 0x18, 0x35, 0x00, "SP = Y -1", false, "S-Y", 3, H::ExecTxs, {4, 0, 0, 0}},          // 147
    {"popY", "", 0x18, 0x38, 0x00, "Pop Y", false, "Y=e", 3, H::ExecPull, {6, 0, 0, 0}},            // 148
    {"aBY", "", 0x18, 0x3A, 0x00, "Y = Y +B", false, "", 3, H::ExecAbx, {4, 0, 0, 0}},              // 149
    {"pushY", "", 0x18, 0x3C, 0x00, "Push Y", false, "e=Y", 3, H::ExecPush, {5, 0, 0, 0}},          // 150
    {"neg", "Y", 0x18, 0x60, 0x00, "%s = -%s", false, "", 3, H::ExecNeg, {7, 0, 0, 0}},             // 151
    {"com", "Y", 0x18, 0x63, 0x00, "%s = not %s", false, "", 3, H::ExecCom, {7, 0, 0, 0}},          // 152
    {"lsr", "Y", 0x18, 0x64, 0x00, "%s = %s / 2", false, "", 3, H::ExecLsr, {7, 0, 0, 0}},          // 153
    {"ror", "Y", 0x18, 0x66, 0x00, "%s = %s / 2", false, "", 3, H::ExecRor, {7, 0, 0, 0}},          // 154
    {"asr", "Y", 0x18, 0x67, 0x00, "%s = %s s/ 2", false, "", 3, H::ExecAsr, {7, 0, 0, 0}},         // 155
    {"lsl", "Y", 0x18, 0x68, 0x00, "%s = %s * 2", false, "", 3, H::ExecLsl, {7, 0, 0, 0}},          // 156
    {"rol", "Y", 0x18, 0x69, 0x00, "%s = %s * 2", false, "", 3, H::ExecRol, {7, 0, 0, 0}},          // 157
    {"dec", "Y", 0x18, 0x6A, 0x00, "%s = %s - 1", false, "", 3, H::ExecDec8, {7, 0, 0, 0}},         // 158
    {"tst", "Y", 0x18, 0x6D, 0x00, "%s - 0", false, "", 3, H::ExecTest, {7, 0, 0, 0}},              // 159
    {"jmp", "Y", 0x18, 0x6E, 0x00, "jmp", false, "p=.", 5, H::ExecJump, {4, 0, 0, 0}},              // 160
    {"clr", "Y", 0x18, 0x6F, 0x00, "%s = 0", false, ".=0", 3, H::ExecClear, {7, 0, 0, 0}},          // 161
    {"cmpY", "jdYh", 0x18, 0x8C, 0x30, "Y - %s", false, "", 3, H::ExecCompare16, {5, 6, 7, 7}},     // 162
    {"xgDY", "", 0x18, 0x8F, 0x00, "D xchg Y", false, "DeY", 3, H::ExecXgdx, {4, 0, 0, 0}},         // 163
    {"subA", "Y", 0x18, 0xA0, 0x00, "A = A - %s", false, "A-.", 0, H::ExecSub, {5, 0, 0, 0}},       // 164
    {"cmpA", "Y", 0x18, 0xA1, 0x00, "A - %s", false, "", 0, H::ExecCompare8, {5, 0, 0, 0}},         // 165
    {"sbcA", "Y", 0x18, 0xA2, 0x00, "A = A - %s -cy", false, "A-.", 0, H::ExecSbc, {5, 0, 0, 0}},   // 166
    {"subD", "Y", 0x18, 0xA3, 0x00, "D = D - %s", false, "D-.", 7, H::ExecSubD, {7, 0, 0, 0}},      // 167
    {"andA", "Y", 0x18, 0xA4, 0x00, "A = A and %s", false, "Aa.", 0, H::ExecAnd, {5, 0, 0, 0}},     // 168
    {"bitA", "Y", 0x18, 0xA5, 0x00, "A - %s", false, "", 0, H::ExecBit, {5, 0, 0, 0}},              // 169
    {"ldA", "Y", 0x18, 0xA6, 0x00, "A = %s", false, "A=.", 0, H::ExecLoad, {5, 0, 0, 0}},           // 170
    {"xorA", "Y", 0x18, 0xA8, 0x00, "A = A xor %s", false, "Ax.", 0, H::ExecEor, {5, 0, 0, 0}},     // 171
    {"adcA", "Y", 0x18, 0xA9, 0x00, "A = A + %s +cy", false, "A+.", 0, H::ExecAdc, {5, 0, 0, 0}},   // 172
    {"oraA", "Y", 0x18, 0xAA, 0x00, "A = A or %s", false, "Ao.", 0, H::ExecOr, {5, 0, 0, 0}},       // 173
    {"addA", "Y", 0x18, 0xAB, 0x00, "A = A + %s", false, "A+.", 0, H::ExecAdd, {5, 0, 0, 0}},       // 174
    {"call", "Y", 0x18, 0xAD, 0x00, "call %s", false, "P=.", 5, H::ExecCall, {7, 0, 0, 0}},         // 175
    {"ldS", "Y", 0x18, 0xAE, 0x00, "SP = %s", false, "S=.", 4, H::ExecLoad, {6, 0, 0, 0}},          // 176
    {"stS", "Y", 0x18, 0xAF, 0x00, "%s,1 = SP", false, ".=S", 4, H::ExecStore16, {6, 0, 0, 0}},     // 177
    {"subB", "Y", 0x18, 0xE0, 0x00, "B = B - %s", false, "B-.", 1, H::ExecSub, {5, 0, 0, 0}},       // 178
    {"cmpB", "Y", 0x18, 0xE1, 0x00, "B - %s", false, "", 1, H::ExecCompare8, {5, 0, 0, 0}},         // 179
    {"sbcB", "Y", 0x18, 0xE2, 0x00, "B = B - %s -cy", false, "B-.", 1, H::ExecSbc, {5, 0, 0, 0}},   // 180
    {"addD", "Y", 0x18, 0xE3, 0x00, "D = D + %s,1", false, "D+.", 7, H::ExecAddD, {7, 0, 0, 0}},    // 181
    {"andB", "Y", 0x18, 0xE4, 0x00, "B = B and %s", false, "Ba.", 1, H::ExecAnd, {5, 0, 0, 0}},     // 182
    {"bitB", "Y", 0x18, 0xE5, 0x00, "B - %s", false, "", 1, H::ExecBit, {5, 0, 0, 0}},              // 183
    {"ldB", "Y", 0x18, 0xE6, 0x00, "B = %s", false, "B=.", 1, H::ExecLoad, {5, 0, 0, 0}},           // 184
    {"xorB", "Y", 0x18, 0xE8, 0x00, "B = B xor %s", false, "Bx.", 1, H::ExecEor, {5, 0, 0, 0}},     // 185
    {"adcB", "Y", 0x18, 0xE9, 0x00, "B = B + %s +cy", false, "B+.", 1, H::ExecAdc, {5, 0, 0, 0}},   // 186
    {"oraB", "Y", 0x18, 0xEA, 0x00, "B = B or %s", false, "Bo.", 1, H::ExecOr, {5, 0, 0, 0}},       // 187
    {"addB", "Y", 0x18, 0xEB, 0x00, "B = B + %s", false, "B+.", 1, H::ExecAdd, {5, 0, 0, 0}},       // 188
    {"ldD", "Y", 0x18, 0xEC, 0x00, "D = %s,1", false, "D=.", 7, H::ExecLoadD, {6, 0, 0, 0}},        // 189
    {"stY", ".dYh", 0x18, 0xCF, 0x30, "%s,1 = Y", false, ".=Y", 3, H::ExecStore16, {0, 5, 6, 6}},   // 190
    {"cmpY", "X", 0x1A, 0xAC, 0x00, "Y - %s", false, "", 3, H::ExecCompare16, {7, 0, 0, 0}},        // 191
    {"ldY", "X", 0x1A, 0xEE, 0x00, "Y = %s", false, "Y=.", 3, H::ExecLoad, {6, 0, 0, 0}},           // 192
    {"stY", "X", 0x1A, 0xEF, 0x00, "%s,1 = Y", false, ".=Y", 3, H::ExecStore16, {6, 0, 0, 0}},      // 193
    {"cmpD", "Y", 0xCD, 0xA3, 0x00, "D -%s", false, "", 7, H::ExecCompare16, {7, 0, 0, 0}},         // 194
    {"cmpX", "Y", 0xCD, 0xAC, 0x00, "X - %s", false, "", 2, H::ExecCompare16, {7, 0, 0, 0}},        // 195
    {"ldX", "Y", 0xCD, 0xEE, 0x00, "X = %s", false, "X=.", 2, H::ExecLoad, {6, 0, 0, 0}},           // 196
    {"stX", "Y", 0xCD, 0xEF, 0x00, "%s,1 = X", false, ".=X", 2, H::ExecStore16, {6, 0, 0, 0}},      // 197
}};

}  // namespace rows
}  // namespace hc11
