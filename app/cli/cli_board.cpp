#include "app/cli/cli_board.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ostream>

#include "board/panel_text.h"
#include "core/file_read.h"
#include "core/message_text.h"
#include "core/text_util.h"

namespace hc11::cli {

namespace {

// "ADDR:COUNT" as --dump takes it: a hexadecimal address (with or without "$"
// or "0x") and a decimal count of at least one, inside the 2 KiB image.
std::optional<EepromDump> ParseEepromRange(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  std::string address = text.substr(0, colon);
  if (address.starts_with("0x") || address.starts_with("0X"))
    address.erase(0, 2);
  else if (address.starts_with("$"))
    address.erase(0, 1);
  const std::string count = text.substr(colon + 1);
  if (address.empty() || count.starts_with("$")) return std::nullopt;
  const auto a = StrToWord("$" + address);
  const auto n = StrToWord(count);
  if (!a || !n || *n == 0 || *a + *n > Board::kEepromSize) return std::nullopt;
  return EepromDump{*a, *n};
}

bool IsKeyCaption(const std::string& caption) {
  return caption == kOnOffCaption || FindKeypadKey(caption).has_value();
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t n) {
  std::string line;
  for (std::size_t i = 0; i < n; ++i) line += Format(" %2.2X", bytes[i]);
  return line;
}

}  // namespace

const char* BoardOptionsUsage() {
  return "[--key CAPTION]... [--inject NAME]... [--signal N] [--ocfreq N] [--oc] [--trace-i2c] "
         "[--trace-synth] [--eeprom FILE] [--dump-eeprom ADDR:COUNT]...";
}

BoardOptionResult ParseBoardOption(const std::vector<std::string>& args, std::size_t i,
                                   BoardOptions& options) {
  const std::string& name = args[i];
  if (name == "--oc") {
    options.oc = true;
    return {1, {}};
  }
  if (name == "--trace-i2c") {
    options.traceI2c = true;
    return {1, {}};
  }
  if (name == "--trace-synth") {
    options.traceSynth = true;
    return {1, {}};
  }

  const bool takesValue = name == "--key" || name == "--inject" || name == "--signal" || name == "--ocfreq" ||
                          name == "--eeprom" || name == "--dump-eeprom";
  if (!takesValue) return {0, {}};
  if (i + 1 >= args.size()) return {0, name + " needs a value"};
  const std::string& value = args[i + 1];

  if (name == "--key") {
    if (!IsKeyCaption(value)) return {0, "unknown key '" + QuoteText(value) + "'"};
    options.keys.push_back(value);
  } else if (name == "--inject") {
    const auto command = FindCommand(value);
    if (!command) return {0, "unknown command button '" + QuoteText(value) + "'"};
    options.injects.push_back(*command);
  } else if (name == "--signal") {
    const auto level = StrToWord(value);
    if (!level || *level > 255) return {0, "bad signal level '" + QuoteText(value) + "' (0..255)"};
    options.signal = *level;
  } else if (name == "--ocfreq") {
    // Digits or "$" and hex digits, as the README says: no sign.
    const auto kHz = value.starts_with('-') ? std::nullopt : StrToIntSigned(value);
    if (!kHz || *kHz > INT_MAX)
      return {0, "bad frequency '" + QuoteText(value) + "' (decimal or $hex, 0..2147483647)"};
    options.ocFreq = static_cast<int>(*kHz);
  } else if (name == "--eeprom") {
    options.eepromFile = value;
  } else {
    const auto range = ParseEepromRange(value);
    if (!range)
      return {0, "--dump-eeprom: expected hexadecimal ADDR and decimal COUNT within the 2048 bytes, got '" +
                     QuoteText(value) + "'"};
    options.eepromDumps.push_back(*range);
  }
  return {2, {}};
}

void SetBoardTraces(Board& board, const BoardOptions& options) {
  board.I2cTrace = options.traceI2c;
  board.SynthTrace = options.traceSynth;
}

std::vector<PanelInput> PanelInputsBeforeLoad(const BoardOptions& options) {
  std::vector<PanelInput> inputs;
  if (options.signal) inputs.push_back({PanelAction::SignalLevel, *options.signal});
  if (options.ocFreq) inputs.push_back({PanelAction::OcFrequency, *options.ocFreq});
  if (options.oc) inputs.push_back({PanelAction::OcBusy, 1});
  return inputs;
}

std::string LoadEepromImage(Board& board, const BoardOptions& options) {
  if (options.eepromFile.empty()) return {};
  std::string bytes;
  ReadProblem problem;
  // One byte more than the image tells a longer file from an exact one.
  const bool read = ReadRegularFile(options.eepromFile, bytes, problem, Board::kEepromSize + 1);
  if (!read && !problem.reason.empty() && problem.reason != std::strerror(EFBIG))
    return "cannot read EEPROM image '" + QuoteText(options.eepromFile) + "': " + problem.reason;
  if (bytes.size() != Board::kEepromSize)
    return "EEPROM image '" + QuoteText(options.eepromFile) + "' must hold exactly 2048 bytes";
  std::array<std::uint8_t, Board::kEepromSize> image{};
  std::copy(bytes.begin(), bytes.end(), image.begin());
  board.EepromImage = image;
  return {};
}

std::vector<PanelInput> PanelInputsAfterLoad(const BoardOptions& options) {
  std::vector<PanelInput> inputs;
  for (const std::string& caption : options.keys) {
    if (caption == kOnOffCaption)
      inputs.push_back({PanelAction::PressOnOff, 0});
    else if (const auto key = FindKeypadKey(caption))
      inputs.push_back({PanelAction::PressKey, static_cast<int>(*key)});
  }
  for (BoardCommand command : options.injects)
    inputs.push_back({PanelAction::Command, static_cast<int>(command)});
  return inputs;
}

void PrintPanel(const Board& board, const BoardOptions& options, std::ostream& out) {
  out << PanelText(board);
  for (const EepromDump& dump : options.eepromDumps) {
    for (std::size_t offset = 0; offset < dump.count; offset += 16) {
      const std::size_t address = dump.address + offset;
      const std::size_t n = std::min<std::size_t>(16, dump.count - offset);
      out << Format("%4.4x  ", static_cast<unsigned>(address)) << HexBytes(&board.EepromImage[address], n)
          << '\n';
    }
  }
}

}  // namespace hc11::cli
