// A session file: what the user fed the board, with the simulated time at
// which each input took effect, and what the board did in return, with its
// time. Text, one event a line, so a person can read and edit it; read by a
// strict parser that gives a whole session or a typed refusal with the line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/board_output.h"

namespace hc11 {

enum class SessionClock : std::uint8_t { Designed, Exact };

enum class SessionInputKind : std::uint8_t {
  KeyDown,    // value: index into kKeypad
  KeyUp,      // value: index into kKeypad
  OnOffDown,  // the "M/A" key
  OnOffUp,
  Oc,      // value: channel busy 0 or 1
  Signal,  // value: 0..255
  OcFreq,  // value: kHz
  Serial,  // bytes: a message placed in the receive buffer
  Host,    // bytes: characters from the host serial port
  MemoClear,
  DisplayClick,
  PowerCut,
  PowerOn,
};

struct SessionInput {
  std::int64_t time = 0;
  SessionInputKind kind = SessionInputKind::KeyDown;
  int value = 0;
  std::vector<std::uint8_t> bytes;
  bool operator==(const SessionInput&) const = default;
};

struct SessionOutput {
  std::int64_t time = 0;
  BoardOutput kind = BoardOutput::Transmit;
  std::uint32_t value = 0;
  std::uint16_t address = 0;  // the EEPROM byte's
  bool operator==(const SessionOutput&) const = default;
};

struct SessionFile {
  std::string program;
  std::uint64_t digest = 0;  // the code image's
  SessionClock clock = SessionClock::Designed;
  std::vector<SessionInput> inputs;
  std::vector<SessionOutput> outputs;
  std::int64_t end = 0;  // when the recording stopped
  bool operator==(const SessionFile&) const = default;
};

inline constexpr int kSessionVersion = 1;
// Bounds the parser holds a file to; a value past them is refused.
inline constexpr std::int64_t kSessionLongestTime = std::int64_t{1} << 50;
inline constexpr std::size_t kSessionLongestBytes = 4096;
inline constexpr int kSessionHighestFrequency = 10'000'000;

enum class SessionFileError : std::uint8_t {
  None,
  Open,         // unreadable, or not a regular file
  TooLarge,     // far beyond any recording
  Header,       // a missing or wrong header line
  UnknownKind,  // a line that is no known event
  BadValue,     // a value missing, malformed or out of its bounds
  TimeBack,     // a time earlier than the one before it
  Truncated,    // no end line, or an unterminated string
  Write,
};

struct SessionReadResult {
  SessionFileError error = SessionFileError::None;
  int line = 0;  // 1-based; 0 for the file as a whole
  std::string message;
  std::optional<SessionFile> session;  // only when error is None
  bool ok() const { return error == SessionFileError::None; }
};

std::string FormatSession(const SessionFile& session);
SessionReadResult ParseSession(std::string_view text);
SessionReadResult ReadSessionFile(const std::string& path);
// Written whole (a temporary file, then a rename); false with `error` set.
bool WriteSessionFile(const std::string& path, const SessionFile& session, std::string& error);

// The words after the time of an output line, as the file writes them ("tx 41").
std::string OutputText(const SessionOutput& output);
std::string InputText(const SessionInput& input);
const char* ClockName(SessionClock clock);
// Counts of the clock per second: the E clock, 3.58 MHz / 4, which the
// designed clock's real-time pacing keeps too.
double CountsPerSecond(SessionClock clock);

}  // namespace hc11
