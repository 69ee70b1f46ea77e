// The board-panel options of `hc11flow-cli run`: inputs set before or after
// the program load, and the panel printed after the runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "board/board.h"

namespace hc11::cli {

struct EepromDump {
  std::uint16_t address = 0;
  std::uint16_t count = 0;
};

struct BoardOptions {
  std::vector<std::string> keys;  // keypad or "M/A" captions held for the whole run
  std::vector<BoardCommand> injects;
  std::optional<int> signal;  // NiveauSignal
  std::optional<int> ocFreq;  // OcFreq, kHz
  bool oc = false;            // CbOC
  bool traceI2c = false;
  bool traceSynth = false;
  std::string eepromFile;  // a 2,048-byte image loaded after the program
  std::vector<EepromDump> eepromDumps;
};

struct BoardOptionResult {
  std::size_t consumed = 0;  // 0: args[i] is not a board option
  std::string error;         // non-empty: a board option with a bad value
};

// Tries to read one board option starting at args[i] into `options`.
BoardOptionResult ParseBoardOption(const std::vector<std::string>& args, std::size_t i,
                                   BoardOptions& options);

// The usage text of the board options, one line.
const char* BoardOptionsUsage();

// Inputs the board reset reads (trace switches, signal level, compared
// frequency, channel busy): apply them before the program load.
void ApplyBoardOptionsBeforeLoad(Board& board, const BoardOptions& options);

// What the load's reset would undo (EEPROM image, held keys) and the command
// buttons: apply after the load, before the runs. Returns an error text, empty
// on success.
std::string ApplyBoardOptionsAfterLoad(Board& board, const BoardOptions& options);

// The "panel:" and "memo:" lines, then the EEPROM dumps.
void PrintPanel(const Board& board, const BoardOptions& options, std::ostream& out);

}  // namespace hc11::cli
