// The breakpoint list, coverage and profile counts, and the lcov tracefile.
#include <pybind11/stl.h>

#include "core/break_state.h"
#include "listing/listing_files.h"
#include "profile/lcov_file.h"
#include "python/bind_common.h"

namespace hc11::py {

namespace {

struct BreakpointsView {
  PyBoard* board;
};

std::uint8_t StateOf(const std::string& state) {
  if (state == "Break") return kBreakStop;
  if (state == "Trace") return kBreakTrace;
  if (state == "inactif") return kBreakInactive;
  throw pb::value_error("state is \"Break\", \"Trace\" or \"inactif\"");
}

char KindOf(const std::string& kind) {
  if (kind.size() == 1 && std::string_view("CIim").find(kind[0]) != std::string_view::npos) return kind[0];
  throw pb::value_error("kind is \"C\" (code), \"I\" (RAM write), \"i\" (RAM read) or \"m\" (RAM changed)");
}

void Add(const BreakpointsView& v, const pb::object& where, const std::string& kind,
         const std::string& state) {
  PyBoard& b = *v.board;
  Tbreak entry;
  entry.address = AddressOf(b, where);
  entry.name = pb::isinstance<pb::str>(where) ? where.cast<std::string>() : "nom";
  entry.BreakKind = KindOf(kind);
  entry.BreakState = StateOf(state);
  b.session().breakpoints().Append(entry, true);
  b.controller().Edited(ChangeLists);
}

void Remove(const BreakpointsView& v, const pb::object& where) {
  PyBoard& b = *v.board;
  const std::uint16_t address = AddressOf(b, where);
  BreakpointList& list = b.session().breakpoints();
  const std::size_t before = list.entries().size();
  list.RemoveWhere([address](const Tbreak& t) { return t.address == address; });
  if (list.entries().size() == before)
    Raise(Errors().error, "no breakpoint at " + pb::str(where).cast<std::string>());
  b.controller().Edited(ChangeLists);
}

const Profiler& CountedProfiler(PyBoard& b) {
  if (!Profiler::Enabled(b.machine())) Raise(Errors().error, "counting is off: call counting(True) first");
  return b.session().profiler();
}

pb::dict Coverage(PyBoard& b) {
  const ExecCounters& counters = CountedProfiler(b).counters();
  pb::dict d;
  for (std::uint32_t a = 0; a < 0x10000; ++a)
    if (const std::uint64_t n = counters.At(static_cast<std::uint16_t>(a)).count; n != 0) d[pb::int_(a)] = n;
  return d;
}

pb::dict Profile(PyBoard& b) {
  const ProfileTable table = CountedProfiler(b).Table(b.machine().CycleCount);
  pb::dict d;
  for (const FunctionProfile& row : table.rows) {
    pb::dict f;
    f["entry"] = row.entry;
    f["calls"] = row.calls;
    f["exclusive"] = row.exclusive;
    f["inclusive"] = row.inclusive;
    f["percent"] = row.percent;
    d[pb::str(row.name)] = f;
  }
  return d;
}

void WriteLcov(PyBoard& b, const std::string& path) {
  const Profiler& profiler = CountedProfiler(b);
  Session& s = b.session();
  if (s.ListingBase().empty() || s.listing().LineList.empty()) Raise(Errors().error, "no listing was read");
  std::string error;
  if (!WriteLcovFile(path, ListingFileName(s.ListingBase()), s.listing(), b.machine().Memory, profiler,
                     error))
    Raise(Errors().error, error);
}

}  // namespace

void BindLists(pb::module_& m, pb::class_<PyBoard>& c) {
  pb::class_<BreakpointsView>(m, "Breakpoints")
      .def("add", &Add, pb::arg("where"), pb::arg("kind") = "C", pb::arg("state") = "Break")
      .def("remove", &Remove, pb::arg("where"))
      .def("clear",
           [](const BreakpointsView& v) {
             v.board->session().breakpoints().ClearAll();
             v.board->controller().Edited(ChangeLists);
           })
      .def("__len__",
           [](const BreakpointsView& v) { return v.board->session().breakpoints().entries().size(); })
      .def("lines", [](const BreakpointsView& v) { return v.board->session().breakpoints().Lines(); });

  c.def_property_readonly(
      "breakpoints", [](PyBoard& b) { return BreakpointsView{&b}; }, pb::keep_alive<0, 1>());
  c.def(
      "counting", [](PyBoard& b, bool on) { b.session().profiler().Enable(b.machine(), on); },
      pb::arg("on") = true);
  c.def("coverage", &Coverage);
  c.def("profile", &Profile);
  c.def("write_lcov", &WriteLcov, pb::arg("path"));
}

}  // namespace hc11::py
