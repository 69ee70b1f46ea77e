// State files and power cuts.
#include <pybind11/stl.h>

#include <filesystem>

#include "python/bind_common.h"

namespace hc11::py {

namespace {

const char* ReasonName(StateFileError e) {
  switch (e) {
    case StateFileError::None:
      return "none";
    case StateFileError::Open:
      return "open";
    case StateFileError::NotStateFile:
      return "not_state_file";
    case StateFileError::NewerVersion:
      return "newer_version";
    case StateFileError::OtherProgram:
      return "other_program";
    case StateFileError::Truncated:
      return "truncated";
    case StateFileError::Damaged:
      return "damaged";
    case StateFileError::Write:
      return "write";
    case StateFileError::Running:
      return "running";
  }
  return "none";
}

}  // namespace

void RaiseStateRefusal(const StateFileResult& r, const std::string& path) {
  if (r.ok()) return;
  std::error_code ec;
  if (r.error == StateFileError::Open && !std::filesystem::exists(path, ec)) {
    PyErr_SetString(PyExc_FileNotFoundError, r.message.c_str());
    throw pb::error_already_set();
  }
  // The refusal's kind beside its text, so a caller never reads it back from the message.
  pb::object error = Errors().error(r.message);
  error.attr("reason") = ReasonName(r.error);
  PyErr_SetObject(Errors().error.ptr(), error.ptr());
  throw pb::error_already_set();
}

void BindPower(pb::class_<PyBoard>& c) {
  c.def(
      "save_state",
      [](PyBoard& b, const std::string& path) { RaiseStateRefusal(b.controller().SaveState(path), path); },
      pb::arg("path"));
  c.def(
      "load_state",
      [](PyBoard& b, const std::string& path) {
        RefuseWhileRecording(b, "load_state");
        RaiseStateRefusal(b.controller().LoadState(path), path);
      },
      pb::arg("path"));
  c.def(
      "power_cut",
      [](PyBoard& b, const pb::object& afterSteps) -> pb::object {
        pb::object stop = pb::none();
        if (!afterSteps.is_none()) {
          const auto n = afterSteps.cast<long long>();
          if (n < 1) throw pb::value_error("after_steps must be at least 1");
          StopEvent e;
          {
            const pb::gil_scoped_release unlocked;
            e = b.Run(RunBounds{static_cast<std::uint64_t>(n), std::nullopt, std::nullopt});
          }
          stop = pb::cast(ToPyStop(e));
        }
        b.controller().PowerCut();
        return stop;
      },
      pb::arg("after_steps") = pb::none());
  // The pytest plugin's booted_board: one opened board per program, made
  // fresh for each test by this and a state load.
  c.def("_forget_debugger_lists", &PyBoard::ForgetDebuggerLists);
  c.def("power_on", [](PyBoard& b) { b.controller().PowerOn(); });
  c.def_property_readonly("powered", [](const PyBoard& b) { return !b.controller().PoweredOff(); });
}

}  // namespace hc11::py
