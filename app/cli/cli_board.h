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

// What the board reset reads: the trace switches, and the panel inputs
// (signal level, compared frequency, channel busy) to press before the
// program load.
void SetBoardTraces(Board& board, const BoardOptions& options);
std::vector<PanelInput> PanelInputsBeforeLoad(const BoardOptions& options);

// What the load's reset would undo, applied after the load and before the
// runs: the EEPROM image (an error text, empty on success), then the held
// keys and the command buttons as panel inputs, in that order.
std::string LoadEepromImage(Board& board, const BoardOptions& options);
std::vector<PanelInput> PanelInputsAfterLoad(const BoardOptions& options);

// The "panel:" and "memo:" lines, then the EEPROM dumps.
void PrintPanel(const Board& board, const BoardOptions& options, std::ostream& out);

}  // namespace hc11::cli
