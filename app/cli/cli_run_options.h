// Options of `hc11flow-cli run`, parsed apart from running them so that new
// options (listing, board panel) only touch this struct and its parser.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli_board.h"
#include "app/cli/cli_profile.h"
#include "app/cli/cli_reverse.h"
#include "app/cli/cli_serial_options.h"
#include "debugger/memory_search.h"

namespace hc11::cli {

struct BreakOption {
  std::uint16_t address = 0;
  std::uint8_t state = 2;  // "Break"
  char kind = 'C';
  std::string name = "nom";
};

// --break-if, --break-count, --logpoint: extras for the code breakpoint at
// an address (made as a "Break" when the list has none there).
struct BreakRuleOption {
  enum class Kind { Condition, Count, Log } kind = Kind::Condition;
  std::uint16_t address = 0;
  std::string text;    // the condition or the log message
  bool every = false;  // --break-count ADDR:*N
  std::uint32_t count = 0;
  std::string option;  // as given, for messages
};

struct WatchOption {
  std::string name;
  std::optional<std::uint16_t> address;  // none: resolved among the variable symbols
  std::uint8_t format = 1;               // index into "b$DdfS"
  std::uint8_t bytesPer = 1;
  std::uint8_t elements = 1;
  std::string initial;
};

struct DumpOption {
  std::uint16_t address = 0;
  std::uint32_t count = 0;
};

struct FindOption {
  std::string pattern;  // as given, repeated in the output
  MemorySearch search;
};

struct RunOptions {
  std::string program;  // as given: a listing, a HEX file or the program's base path
  std::optional<std::uint16_t> start;
  char16_t mode = kModeRun;
  std::optional<std::uint16_t> target;
  std::uint64_t steps = 0;  // 0: no bound
  std::uint32_t repeat = 1;
  std::vector<BreakOption> breaks;
  std::vector<BreakRuleOption> breakRules;
  std::vector<std::string> stopWhen;  // any of them true stops the run
  std::vector<WatchOption> watches;
  std::string saveWorkspace;  // empty: the workspace is not written
  std::string loadState;      // a state file applied after the load, before the runs
  std::string saveState;      // the state written at the end
  std::string record;         // the session recorded from the load on, written at the end
  bool noWorkspace = false;
  std::string settings;  // a settings file whose "PatchCode" lines apply; never rewritten
  bool history = false;
  bool exact = false;  // "Processeur exact", whatever the settings file says
  std::vector<DumpOption> dumps;
  std::vector<FindOption> finds;  // --find PATTERN, searched after the runs
  BoardOptions board;
  SerialOptions serial;
  ProfileOptions profiling;  // --profile, --coverage FILE
  ReverseOptions reverse;    // --back K, --back-run, --digest
};

struct ParsedRunOptions {
  std::optional<RunOptions> options;
  std::string error;  // one line, set when options is empty
};

ParsedRunOptions ParseRunOptions(const std::vector<std::string>& args);

inline constexpr const char* kRunUsage =
    "PROGRAM [--start ADDR] [--mode x|v|w|u|s] [--target ADDR] [--steps N] [--repeat K] "
    "[--break ADDR[:STATE[:KIND[:NAME]]]]... [--break-if ADDR:EXPR]... [--break-count ADDR:[*]N]... "
    "[--logpoint ADDR:TEXT]... [--stop-when EXPR]... "
    "[--watch NAME[=ADDR][:FORMAT[:BYTES[:ELEMENTS[:INIT]]]]]... "
    "[--history] [--exact] [--dump ADDR:COUNT]... [--find PATTERN]... [--no-workspace] [--save-workspace "
    "FILE] "
    "[--load-state FILE] [--save-state FILE] [--record FILE] [--settings FILE] [--profile] [--coverage "
    "FILE.info] [--back K] "
    "[--back-run] [--digest] [board options] "
    "[serial options]";

}  // namespace hc11::cli
