// The debugging information entries (.debug_info, .debug_abbrev): one
// compilation unit for the program, a subprogram per function with its code
// labels, and the program's variables as bytes, words or byte arrays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hc11::gdb {

struct DebugLabel {
  std::string name;
  std::uint16_t address = 0;
};

struct DebugFunction {
  std::string name;
  std::uint16_t start = 0;
  std::uint32_t end = 0;  // one past its last byte
  std::vector<DebugLabel> labels;
};

enum class VariableType : std::uint8_t { Byte, Word, Bytes };

struct DebugVariable {
  std::string name;
  std::uint16_t address = 0;
  VariableType type = VariableType::Byte;
  std::uint32_t count = 1;  // Bytes: how many
};

struct DebugUnit {
  std::string name;       // the source file the line table names
  std::string directory;  // where it lies
  std::uint16_t low = 0;  // the code's address range
  std::uint32_t high = 0;
  std::vector<DebugFunction> functions;
  std::vector<DebugVariable> variables;
};

struct DebugInfoSections {
  std::string info, abbrev;
};

// The unit refers to the line program at offset 0 of .debug_line.
DebugInfoSections DebugInfo(const DebugUnit& unit);

}  // namespace hc11::gdb
