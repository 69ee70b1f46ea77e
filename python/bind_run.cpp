// Run commands, going back, Init and a routine called in isolation.
#include <pybind11/stl.h>

#include <cmath>
#include <functional>

#include "core/text_util.h"
#include "python/bind_common.h"

namespace hc11::py {

namespace {

struct PyCall {
  std::int64_t cycles = 0;
  std::uint64_t steps = 0;
  CpuState cpu;
};

// Runs `command` without the GIL: the simulation needs no Python.
StopEvent Released(const std::function<StopEvent()>& command) {
  const pb::gil_scoped_release unlocked;
  return command();
}

// The counts of a bound in simulated milliseconds, rounded up.
std::int64_t CountsOfMs(double ms) {
  if (!(ms > 0) || !std::isfinite(ms)) throw pb::value_error("ms must be a positive number");
  return static_cast<std::int64_t>(std::ceil(ms / static_cast<double>(Machine::CountsToMs(1)) - 1e-9));
}

PyStop RunBounded(PyBoard& b, const pb::object& steps, const pb::object& cycles, const pb::object& ms,
                  const pb::object& until) {
  RunBounds bounds;
  if (!steps.is_none()) {
    const auto n = steps.cast<long long>();
    if (n < 1) throw pb::value_error("steps must be at least 1");
    bounds.steps = static_cast<std::uint64_t>(n);
  }
  if (!cycles.is_none()) {
    const auto n = cycles.cast<long long>();
    if (n < 1) throw pb::value_error("cycles must be at least 1");
    bounds.counts = n;
  }
  if (!ms.is_none()) {
    const std::int64_t n = CountsOfMs(ms.cast<double>());
    bounds.counts = bounds.counts ? std::min(*bounds.counts, n) : n;
  }
  if (!until.is_none()) bounds.until = AddressOf(b, until);
  if (!bounds.steps && !bounds.counts && !bounds.until)
    throw pb::value_error("run() needs a bound: steps, cycles, ms or until");
  return ToPyStop(Released([&] { return b.Run(bounds); }));
}

PyCall CallRoutine(PyBoard& b, const pb::object& routine, const pb::object& a, const pb::object& bReg,
                   const pb::object& x, const pb::object& y, long long maxCycles) {
  const std::uint16_t entry = AddressOf(b, routine);
  if (maxCycles < 1) throw pb::value_error("max_cycles must be at least 1");
  Controller& c = b.controller();
  const auto set = [&](const pb::object& v, CpuRegister r, std::uint32_t most, const char* name) {
    if (!v.is_none()) c.SetRegister(r, static_cast<std::uint16_t>(Bounded(v.cast<long long>(), most, name)));
  };
  set(a, CpuRegister::A, 0xFF, "a");
  set(bReg, CpuRegister::B, 0xFF, "b");
  set(x, CpuRegister::X, 0xFFFF, "x");
  set(y, CpuRegister::Y, 0xFFFF, "y");
  CallResult r;
  {
    const pb::gil_scoped_release unlocked;
    r = b.Call(entry, maxCycles);
  }
  const std::string name = pb::str(routine).cast<std::string>();
  if (r.end == CallEnd::NoStack)
    Raise(Errors().error,
          name + ": no stack for its return address" + Format(" (SP=%4.4X)", b.machine().cpu.SP));
  if (r.end == CallEnd::OverBudget)
    Raise(Errors().timeout, name + " did not return within " + std::to_string(maxCycles) + " cycles" +
                                Format(" (PC=%4.4X)", b.machine().cpu.PC));
  if (r.end == CallEnd::Stopped)
    Raise(Errors().error, name + " stopped before its return: " + r.stop.text + " " + r.stop.message +
                              Format(" (PC=%4.4X)", r.stop.pc));
  return {r.counts, r.steps, b.machine().cpu};
}

}  // namespace

void BindRun(pb::class_<PyBoard>& c) {
  pb::class_<PyCall>(c, "Call")
      .def_readonly("cycles", &PyCall::cycles)
      .def_readonly("steps", &PyCall::steps)
      .def_property_readonly("a", [](const PyCall& r) { return r.cpu.A; })
      .def_property_readonly("b", [](const PyCall& r) { return r.cpu.B; })
      .def_property_readonly("d", [](const PyCall& r) { return r.cpu.A << 8 | r.cpu.B; })
      .def_property_readonly("x", [](const PyCall& r) { return r.cpu.X; })
      .def_property_readonly("y", [](const PyCall& r) { return r.cpu.Y; })
      .def_property_readonly("sp", [](const PyCall& r) { return r.cpu.SP; })
      .def_property_readonly("pc", [](const PyCall& r) { return r.cpu.PC; })
      .def_property_readonly("cc", [](const PyCall& r) { return r.cpu.CC; })
      .def("__repr__", [](const PyCall& r) {
        return Format("Call(cycles=%lld, steps=%llu, a=$%2.2X, b=$%2.2X, x=$%4.4X, y=$%4.4X)",
                      static_cast<long long>(r.cycles), static_cast<unsigned long long>(r.steps), r.cpu.A,
                      r.cpu.B, r.cpu.X, r.cpu.Y);
      });

  c.def("run", &RunBounded, pb::arg("steps") = pb::none(), pb::arg("cycles") = pb::none(),
        pb::arg("ms") = pb::none(), pb::arg("until") = pb::none());
  c.def("step", [](PyBoard& b) { return ToPyStop(b.controller().Run(RunKind::Step)); });
  c.def("step_over",
        [](PyBoard& b) { return ToPyStop(Released([&] { return b.controller().Run(RunKind::StepOver); })); });
  c.def("step_out",
        [](PyBoard& b) { return ToPyStop(Released([&] { return b.controller().Run(RunKind::ReturnUp); })); });
  c.def(
      "step_back",
      [](PyBoard& b, long long n) {
        if (n < 1) throw pb::value_error("n must be at least 1");
        RefuseWhileRecording(b, "step_back");
        return ToPyStop(Released([&] { return b.Back([&] { return b.controller().StepBack(n); }); }));
      },
      pb::arg("n") = 1);
  c.def("run_back", [](PyBoard& b) {
    RefuseWhileRecording(b, "run_back");
    return ToPyStop(Released([&] { return b.Back([&] { return b.controller().RunBack(); }); }));
  });
  c.def("init", [](PyBoard& b) {
    RefuseWhileRecording(b, "init");
    return b.controller().Init(false);
  });
  c.def("call", &CallRoutine, pb::arg("routine"), pb::arg("a") = pb::none(), pb::arg("b") = pb::none(),
        pb::arg("x") = pb::none(), pb::arg("y") = pb::none(), pb::arg("max_cycles") = 100000);
  c.def_property_readonly("cycles", [](PyBoard& b) { return b.machine().CycleCount; });
  c.def_property_readonly(
      "time_ms", [](PyBoard& b) { return static_cast<double>(Machine::CountsToMs(b.machine().CycleCount)); });
}

}  // namespace hc11::py
