// What the binutils say of a file the tests wrote.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace hc11::test {

// The output of a shell command, or nullopt when the tool is missing or fails.
inline std::optional<std::string> Output(const std::string& command) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string text;
  char chunk[4096];
  while (const std::size_t n = fread(chunk, 1, sizeof chunk, pipe)) text.append(chunk, n);
  if (pclose(pipe) != 0) return std::nullopt;
  return text;
}

inline bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace hc11::test
