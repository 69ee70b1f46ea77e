// State files: the whole simulated machine and board saved to a file and
// loaded back, so a run can be resumed exactly where it was left.
//
// Layout (integers little-endian):
//   8 bytes  magic "HC11ETAT"
//   2 bytes  format version (kStateFileVersion)
//   8 bytes  digest of the program's code image (Session::CodeImageDigest)
//   4 bytes  length N of the body
//   N bytes  body: the machine's visited state, the board's, the serial
//            memo, then the trace's time origin (CycleBase, EventTimeRef)
//   8 bytes  checksum of everything from the version to the end of the body
// The time-travel record, the breakpoint and watch lists, the profile counts
// and the trace list are not part of a state: they are the debugger's.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "board/board.h"
#include "core/machine.h"

namespace hc11 {

inline constexpr std::uint16_t kStateFileVersion = 1;

enum class StateFileError : std::uint8_t {
  None,
  Open,          // the file could not be read
  NotStateFile,  // no magic: some other file
  NewerVersion,  // written by a later format
  OtherProgram,  // the state of another code image
  Truncated,     // the file ends early
  Damaged,       // a checksum or a field that does not hold
  Write,         // the file could not be written
  Running,       // a run is in progress: a state loads only between commands
};

struct StateFileResult {
  StateFileError error = StateFileError::None;
  std::string message;  // the reason, for the user, empty on success
  bool ok() const { return error == StateFileError::None; }
};

// The file's bytes for the live state. The visitors only read.
std::vector<std::uint8_t> EncodeState(const Machine& m, const Board& board, std::uint64_t codeDigest);

// The file around a body of visited state: header and checksum. EncodeState
// uses it; the fuzz target wraps its bodies in it to reach the body's reader.
std::vector<std::uint8_t> StateFileEnvelope(std::span<const std::uint8_t> body, std::uint64_t codeDigest);

// Checks `bytes` completely against the program (`codeDigest`) before
// anything is changed, then puts the state into `m` and `board`. On refusal
// both are left exactly as they were. `path` names the file in the message.
StateFileResult DecodeState(std::span<const std::uint8_t> bytes, std::uint64_t codeDigest, Machine& m,
                            Board& board, const std::string& path);

// The message for a refusal (French, as every message of the system).
std::string StateFileMessage(StateFileError error, const std::string& path, const std::string& detail = {});

}  // namespace hc11
