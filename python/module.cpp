// The `hc11flow` extension module: hc11flow.open() and the Board it returns.
#include <pybind11/stl.h>

#include <memory>

#include "python/bind_common.h"

namespace hc11::py {

ModuleErrors& Errors() {
  static ModuleErrors errors;
  return errors;
}

void Raise(const pb::object& type, const std::string& text) {
  PyErr_SetString(type.ptr(), text.c_str());
  throw pb::error_already_set();
}

const char* CauseName(StopCause cause) {
  switch (cause) {
    case StopCause::None:
      return "none";
    case StopCause::StepDone:
    case StopCause::ReplayEnd:
      return "step";
    case StopCause::BudgetSpent:
      return "budget";
    case StopCause::Breakpoint:
      return "breakpoint";
    case StopCause::RamBreakpoint:
      return "ram_breakpoint";
    case StopCause::Expression:
      return "expression";
    case StopCause::TargetReached:
      return "target";
    case StopCause::CallReturned:
      return "returned";
    case StopCause::Error:
      return "error";
    case StopCause::StopRequested:
      return "requested";
    case StopCause::RecordStart:
    case StopCause::NothingRecorded:
      return "record_start";
    case StopCause::PoweredOff:
      return "powered_off";
  }
  return "none";
}

PyStop ToPyStop(const StopEvent& e) {
  return {CauseName(e.cause), e.pc, e.message, e.text};
}

std::uint16_t AddressOf(const PyBoard& b, const pb::handle& where) {
  if (pb::isinstance<pb::str>(where)) {
    const auto name = where.cast<std::string>();
    if (const auto a = b.Symbol(name)) return *a;
    Raise(Errors().error, "unknown symbol '" + name + "'");
  }
  if (!pb::isinstance<pb::int_>(where)) throw pb::type_error("an address is an int or a label");
  return static_cast<std::uint16_t>(Bounded(where.cast<long long>(), 0xFFFF, "address"));
}

std::uint32_t Bounded(long long value, std::uint32_t most, const char* what) {
  if (value < 0 || value > most)
    throw pb::value_error(std::string(what) + " " + std::to_string(value) + " is outside 0.." +
                          std::to_string(most));
  return static_cast<std::uint32_t>(value);
}

namespace {

std::unique_ptr<PyBoard> Open(const std::string& program, bool workspace, const pb::object& settings,
                              const pb::object& state) {
  auto b = std::make_unique<PyBoard>();
  const OpenResult r = b->Open(program, workspace, settings.is_none() ? "" : settings.cast<std::string>());
  if (r.error == OpenError::Missing) {
    PyErr_SetString(PyExc_FileNotFoundError, r.message.c_str());
    throw pb::error_already_set();
  }
  if (r.error == OpenError::Refused) Raise(Errors().error, r.message);
  if (!state.is_none()) {
    const auto path = state.cast<std::string>();
    RaiseStateRefusal(b->controller().LoadState(path), path);
  }
  return b;
}

}  // namespace

}  // namespace hc11::py

PYBIND11_MODULE(_hc11flow, m) {
  namespace pb = pybind11;
  using namespace hc11::py;
  m.doc() = "The 68HC11 board simulator and debugger, driven from Python.";
  ModuleErrors& errors = Errors();
  errors.error =
      pb::reinterpret_steal<pb::object>(PyErr_NewException("hc11flow.Error", PyExc_Exception, nullptr));
  errors.timeout =
      pb::reinterpret_steal<pb::object>(PyErr_NewException("hc11flow.Timeout", errors.error.ptr(), nullptr));
  m.attr("Error") = errors.error;
  m.attr("Timeout") = errors.timeout;

  pb::class_<PyStop>(m, "Stop")
      .def_readonly("cause", &PyStop::cause)
      .def_readonly("pc", &PyStop::pc)
      .def_readonly("message", &PyStop::message)
      .def_readonly("text", &PyStop::text)
      .def("__repr__", [](const PyStop& s) {
        return "Stop(cause='" + s.cause + "', pc=" + std::to_string(s.pc) + ", text='" + s.text + "')";
      });

  pb::class_<PyBoard> board(m, "Board");
  BindRun(board);
  BindPower(board);
  BindState(m, board);
  BindBoard(m, board);
  BindLists(m, board);
  BindSession(m, board);

  m.def("open", &Open, pb::arg("program"), pb::arg("workspace") = false, pb::arg("settings") = pb::none(),
        pb::arg("state") = pb::none(),
        "Loads PROGRAM (a listing, its base path or a HEX file) as `hc11flow-cli run` does.");
}
