// Options of `hc11flow-cli run`, parsed apart from running them so that new
// options (listing, board panel) only touch this struct and its parser.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli_board.h"

namespace hc11::cli {

struct BreakOption {
  std::uint16_t address = 0;
  std::uint8_t state = 2;  // "Break"
};

struct DumpOption {
  std::uint16_t address = 0;
  std::uint32_t count = 0;
};

struct RunOptions {
  std::string program;  // as given: a listing, a HEX file or the program's base path
  std::optional<std::uint16_t> start;
  char16_t mode = u'x';
  std::optional<std::uint16_t> target;
  std::uint64_t steps = 0;  // 0: no bound
  std::uint32_t repeat = 1;
  std::vector<BreakOption> breaks;
  bool history = false;
  std::vector<DumpOption> dumps;
  BoardOptions board;
};

struct ParsedRunOptions {
  std::optional<RunOptions> options;
  std::string error;  // one line, set when options is empty
};

ParsedRunOptions ParseRunOptions(const std::vector<std::string>& args);

inline constexpr const char* kRunUsage =
    "PROGRAM [--start ADDR] [--mode x|v|w|u|s] [--target ADDR] [--steps N] [--repeat K] "
    "[--break ADDR[:STATE]]... [--history] [--dump ADDR:COUNT]... [board options]";

}  // namespace hc11::cli
