// How a command ended, as a value: what stopped it, where, and the message
// the user reads. The run engine fills the cause; the controller adds what
// the lists know (the breakpoint entry and its line) and makes the text with
// StopText, the one place the designed stop texts come from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace hc11 {

enum class StopCause : std::uint8_t {
  None,             // no command ran (one was already running, or nothing to do)
  StepDone,         // a step, a step over, or "Remonter du SP" climbed back
  BudgetSpent,      // the command's step budget ran out
  Breakpoint,       // a code breakpoint in state "Break"
  RamBreakpoint,    // a RAM breakpoint in state "Break" saw its access
  Expression,       // the stop expression became true (or could not be computed)
  TargetReached,    // the target of "continuer jusqu'a"
  CallReturned,     // a stepped-over call returned
  Error,            // the program did something the board cannot do
  StopRequested,    // "Arret", a signal, GDB's interrupt
  ReplayEnd,        // going back replayed to the moment asked for
  RecordStart,      // going back reached the earliest recorded moment
  NothingRecorded,  // going back found no earlier moment recorded
  PoweredOff,       // the board has no power: nothing runs until it is back
};

enum class ErrorKind : std::uint8_t {
  None,
  IllegalInstruction,  // no instruction has this opcode
  NotInterpreted,      // an instruction the simulator does not execute
  ForbiddenWrite,      // a write to memory the board does not have
  PastCodeEnd,         // the PC left the loaded code
  Device,              // a board device refused an access (I2C)
  BreakRule,           // a breakpoint's condition or message could not be computed
};

struct StopEvent {
  StopCause cause = StopCause::None;
  ErrorKind error = ErrorKind::None;
  std::uint16_t pc = 0;
  // RamBreakpoint: the byte and the access ('I' write, 'i' read, 'm' a write
  // that changed it).
  std::uint16_t address = 0;
  char access = 0;
  // Breakpoint, RamBreakpoint: the entry of the breakpoint list, when the
  // list has one (GDB's own breakpoints are entries too).
  std::optional<std::size_t> entry;
  // Breakpoint, RamBreakpoint: the entry's display line. Expression: the
  // expression as typed, or the reason it could not be computed.
  std::string line;
  bool expressionFault = false;
  // Error: the error message ("LigneX1").
  std::string message;
  // A command going back in time, and the steps it undid.
  bool back = false;
  std::uint64_t stepsBack = 0;
  // The stop reason as shown ("Cas_Break", the CLI's "status:").
  std::string text;
};

// The stop reason shown for an event; the designed texts live here.
std::string StopText(const StopEvent& e);

// The trace list's line for an error met while a breakpoint stopped the run.
std::string BreakTraceLine(const std::string& message);

// A breakpoint entry's line as a stop reason and as a RAM breakpoint's trace
// line: "Break " and the line.
std::string BreakEntryText(const std::string& line);

// GDB's signal for an error: illegal instruction or segmentation fault.
constexpr bool IsIllegalInstruction(ErrorKind k) {
  return k == ErrorKind::IllegalInstruction || k == ErrorKind::NotInterpreted;
}

}  // namespace hc11
