// The register file as GDB's m68hc11 target numbers and sizes it: x d y sp pc
// (16 bits each), then a b ccr page (8 bits each), big-endian, 14 bytes in a
// "g" reply. d is always a:b; page reads 0 and ignores writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/machine.h"

namespace hc11::gdb {

enum RegisterNumber : int { RegX, RegD, RegY, RegSP, RegPC, RegA, RegB, RegCCR, RegPage, kRegisterCount };

inline constexpr std::size_t kRegisterFileBytes = 14;

// Bytes of one register (2 or 1).
int RegisterSize(int reg);

// The "g" reply: 28 hex digits.
std::string ReadAllRegisters(const CpuState& cpu);
// A "G" body; false (nothing written) unless it is exactly 28 hex digits.
// GDB sends its whole cache, so d is taken only when a and b are unchanged.
bool WriteAllRegisters(CpuState& cpu, std::string_view hex);

// "p" and "P": nullopt / false for a register number past page or a value of
// the wrong width.
std::optional<std::string> ReadRegister(const CpuState& cpu, int reg);
bool WriteRegister(CpuState& cpu, int reg, std::string_view hex);

// The target description served through qXfer:features:read as "target.xml".
std::string_view TargetDescription();

}  // namespace hc11::gdb
