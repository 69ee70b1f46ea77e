#include "gdbstub/registers.h"

#include "gdbstub/packet.h"

namespace hc11::gdb {

namespace {

std::uint16_t Value(const CpuState& cpu, int reg) {
  switch (reg) {
    case RegX:
      return cpu.X;
    case RegD:
      return static_cast<std::uint16_t>(cpu.A << 8 | cpu.B);
    case RegY:
      return cpu.Y;
    case RegSP:
      return cpu.SP;
    case RegPC:
      return cpu.PC;
    case RegA:
      return cpu.A;
    case RegB:
      return cpu.B;
    case RegCCR:
      return cpu.CC;
    default:
      return 0;  // page: the board has no bank switching
  }
}

void SetValue(CpuState& cpu, int reg, std::uint16_t v) {
  switch (reg) {
    case RegX:
      cpu.X = v;
      break;
    case RegD:
      cpu.A = static_cast<std::uint8_t>(v >> 8);
      cpu.B = static_cast<std::uint8_t>(v);
      break;
    case RegY:
      cpu.Y = v;
      break;
    case RegSP:
      cpu.SP = v;
      break;
    case RegPC:
      cpu.PC = v;
      break;
    case RegA:
      cpu.A = static_cast<std::uint8_t>(v);
      break;
    case RegB:
      cpu.B = static_cast<std::uint8_t>(v);
      break;
    case RegCCR:
      cpu.CC = static_cast<std::uint8_t>(v);
      break;
    default:
      break;
  }
}

std::string Encode(const CpuState& cpu, int reg) {
  const std::uint16_t v = Value(cpu, reg);
  if (RegisterSize(reg) == 1) {
    const std::uint8_t byte = static_cast<std::uint8_t>(v);
    return HexBytes(&byte, 1);
  }
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  return HexBytes(bytes, 2);
}

std::optional<std::uint16_t> Decode(int reg, std::string_view hex) {
  const auto bytes = DecodeHexBytes(hex);
  if (!bytes || bytes->size() != static_cast<std::size_t>(RegisterSize(reg))) return std::nullopt;
  std::uint16_t v = 0;
  for (char c : *bytes) v = static_cast<std::uint16_t>(v << 8 | static_cast<std::uint8_t>(c));
  return v;
}

// Only the architecture: GDB's m68hc11 target lays out its registers itself
// and warns about target-supplied ones.
constexpr std::string_view kTargetXml =
    "<?xml version=\"1.0\"?>\n"
    "<!DOCTYPE target SYSTEM \"gdb-target.dtd\">\n"
    "<target version=\"1.0\">\n"
    "  <architecture>m68hc11</architecture>\n"
    "</target>\n";

}  // namespace

int RegisterSize(int reg) {
  return reg >= RegA ? 1 : 2;
}

std::string ReadAllRegisters(const CpuState& cpu) {
  std::string text;
  for (int reg = 0; reg < kRegisterCount; ++reg) text += Encode(cpu, reg);
  return text;
}

bool WriteAllRegisters(CpuState& cpu, std::string_view hex) {
  if (hex.size() != kRegisterFileBytes * 2) return false;
  CpuState next = cpu;
  std::size_t at = 0;
  std::uint16_t values[kRegisterCount] = {};
  for (int reg = 0; reg < kRegisterCount; ++reg) {
    const std::size_t width = static_cast<std::size_t>(RegisterSize(reg)) * 2;
    const auto v = Decode(reg, hex.substr(at, width));
    if (!v) return false;
    values[reg] = *v;
    at += width;
  }
  for (int reg : {RegX, RegY, RegSP, RegPC, RegCCR}) SetValue(next, reg, values[reg]);
  // A stale d beside a new a or b (or the reverse) must not undo the change.
  if (values[RegA] != cpu.A || values[RegB] != cpu.B) {
    next.A = static_cast<std::uint8_t>(values[RegA]);
    next.B = static_cast<std::uint8_t>(values[RegB]);
  } else {
    SetValue(next, RegD, values[RegD]);
  }
  cpu = next;
  return true;
}

std::optional<std::string> ReadRegister(const CpuState& cpu, int reg) {
  if (reg < 0 || reg >= kRegisterCount) return std::nullopt;
  return Encode(cpu, reg);
}

bool WriteRegister(CpuState& cpu, int reg, std::string_view hex) {
  if (reg < 0 || reg >= kRegisterCount) return false;
  const auto v = Decode(reg, hex);
  if (!v) return false;
  SetValue(cpu, reg, *v);
  return true;
}

std::string_view TargetDescription() {
  return kTargetXml;
}

}  // namespace hc11::gdb
