// What the binding files share: the module's exceptions, addresses given as
// numbers or labels, and how a stop becomes a Python value.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

#include "core/stop_event.h"
#include "python/py_board.h"

namespace hc11::py {

namespace pb = pybind11;

// hc11flow.Error and its subclass hc11flow.Timeout, made once by the module.
struct ModuleErrors {
  pb::object error;
  pb::object timeout;
};
ModuleErrors& Errors();
[[noreturn]] void Raise(const pb::object& type, const std::string& text);

// The string a stop's cause is known by in Python.
const char* CauseName(StopCause cause);

// A run's end as the Python `Stop` value.
struct PyStop {
  std::string cause;
  std::uint16_t pc = 0;
  std::string message;  // an error's message
  std::string text;     // the stop reason the debugger shows
};
PyStop ToPyStop(const StopEvent& e);

// An address given as an int (0..$FFFF) or as a symbol of the listing.
std::uint16_t AddressOf(const PyBoard& b, const pb::handle& where);

// A value within 0..`most`, or ValueError naming `what`.
std::uint32_t Bounded(long long value, std::uint32_t most, const char* what);

// A refused state file as FileNotFoundError (no file there) or hc11flow.Error
// with the refusal's kind in `.reason`; nothing when `r` is a success.
void RaiseStateRefusal(const StateFileResult& r, const std::string& path);

// hc11flow.Error for a command that sets the clock back (Init, a state
// loaded, going back) while a session is recorded.
void RefuseWhileRecording(const PyBoard& b, const char* what);

void BindRun(pb::class_<PyBoard>& c);
void BindPower(pb::class_<PyBoard>& c);
void BindState(pb::module_& m, pb::class_<PyBoard>& c);
void BindBoard(pb::module_& m, pb::class_<PyBoard>& c);
void BindLists(pb::module_& m, pb::class_<PyBoard>& c);
void BindSession(pb::module_& m, pb::class_<PyBoard>& c);

}  // namespace hc11::py
