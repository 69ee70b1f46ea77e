// Registers, memory as the debugger reads and writes it, symbols, watches'
// value texts, the trace and the state digest.
#include <pybind11/stl.h>

#include "debugger/watch_formats.h"
#include "debugger/watches.h"
#include "python/bind_common.h"
#include "reverse/sim_state.h"

namespace hc11::py {

namespace {

// b.mem: the 64 KiB as the debugger's own accesses see them (no device reacts).
struct MemView {
  PyBoard* board;
};

struct Span {
  std::uint32_t start, stop;
};

Span SliceOf(const pb::slice& s) {
  std::size_t start = 0, stop = 0, step = 0, length = 0;
  if (!s.compute(0x10000, &start, &stop, &step, &length)) throw pb::error_already_set();
  if (step != 1) throw pb::value_error("memory slices take no step");
  return {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(std::max(start, stop))};
}

std::uint16_t Index(long long i) {
  if (i < 0 || i > 0xFFFF) throw pb::index_error("address " + std::to_string(i) + " is outside 0..65535");
  return static_cast<std::uint16_t>(i);
}

void Write(PyBoard& b, std::uint16_t at, const std::string& bytes) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
  b.controller().WriteMemory(at, {p, bytes.size()});
}

void Register(pb::class_<PyBoard>& c, const char* name, CpuRegister r, std::uint32_t most) {
  c.def_property(
      name,
      [r](PyBoard& b) -> std::uint32_t {
        const CpuState& cpu = b.machine().cpu;
        switch (r) {
          case CpuRegister::A:
            return cpu.A;
          case CpuRegister::B:
            return cpu.B;
          case CpuRegister::D:
            return b.machine().GetD();
          case CpuRegister::X:
            return cpu.X;
          case CpuRegister::Y:
            return cpu.Y;
          case CpuRegister::SP:
            return cpu.SP;
          case CpuRegister::PC:
            return cpu.PC;
          case CpuRegister::CC:
            return cpu.CC;
        }
        return 0;
      },
      [r, most, name](PyBoard& b, long long v) {
        b.controller().SetRegister(r, static_cast<std::uint16_t>(Bounded(v, most, name)));
      });
}

std::string WatchText(PyBoard& b, const pb::object& where, const std::string& fmt, long long size,
                      long long count) {
  const std::size_t format = kWatchFormatLetters.find(fmt);
  if (fmt.size() != 1 || format == std::string_view::npos)
    throw pb::value_error("fmt is one of " + std::string(kWatchFormatLetters));
  TSurv w;
  w.name = pb::str(where).cast<std::string>();
  w.address = AddressOf(b, where);
  w.WatchFormat = static_cast<std::uint8_t>(format);
  w.bytesPer = static_cast<std::uint8_t>(Bounded(size, 255, "size"));
  w.elements = static_cast<std::uint8_t>(Bounded(count, 255, "count"));
  return b.session().watches().ValueNow(w);
}

}  // namespace

void BindState(pb::module_& m, pb::class_<PyBoard>& c) {
  pb::class_<MemView>(m, "Memory")
      .def("__len__", [](const MemView&) { return 0x10000; })
      .def("__getitem__", [](const MemView& v, long long i) { return v.board->machine().Memory[Index(i)]; })
      .def("__getitem__",
           [](const MemView& v, const pb::slice& s) {
             const Span span = SliceOf(s);
             const auto* p = reinterpret_cast<const char*>(v.board->machine().Memory.data());
             return pb::bytes(p + span.start, span.stop - span.start);
           })
      .def("__setitem__",
           [](const MemView& v, long long i, long long value) {
             Write(*v.board, Index(i), std::string(1, static_cast<char>(Bounded(value, 0xFF, "byte"))));
           })
      .def("__setitem__", [](const MemView& v, const pb::slice& s, const pb::bytes& value) {
        const Span span = SliceOf(s);
        const auto bytes = value.cast<std::string>();
        if (bytes.size() != span.stop - span.start)
          throw pb::value_error("a memory slice takes exactly as many bytes as it spans");
        Write(*v.board, static_cast<std::uint16_t>(span.start), bytes);
      });

  Register(c, "a", CpuRegister::A, 0xFF);
  Register(c, "b", CpuRegister::B, 0xFF);
  Register(c, "d", CpuRegister::D, 0xFFFF);
  Register(c, "x", CpuRegister::X, 0xFFFF);
  Register(c, "y", CpuRegister::Y, 0xFFFF);
  Register(c, "sp", CpuRegister::SP, 0xFFFF);
  Register(c, "pc", CpuRegister::PC, 0xFFFF);
  Register(c, "cc", CpuRegister::CC, 0xFF);
  c.def_property_readonly(
      "mem", [](PyBoard& b) { return MemView{&b}; }, pb::keep_alive<0, 1>());
  c.def("symbol", [](const PyBoard& b, const std::string& name) { return AddressOf(b, pb::str(name)); });
  c.def(
      "read",
      [](PyBoard& b, const pb::object& where, long long size) {
        if (size < 1 || size > 8) throw pb::value_error("size is 1 to 8 bytes");
        const std::uint16_t at = AddressOf(b, where);
        if (at + size > 0x10000) throw pb::value_error("the bytes read pass the end of memory");
        std::uint64_t value = 0;
        for (long long i = 0; i < size; ++i)
          value = value << 8 | b.machine().Memory[static_cast<std::size_t>(at + i)];
        return value;
      },
      pb::arg("where"), pb::arg("size") = 1);
  c.def("watch", &WatchText, pb::arg("name"), pb::arg("fmt") = "$", pb::arg("size") = 1,
        pb::arg("count") = 1);
  c.def("function_at", [](const PyBoard& b, long long a) { return b.FunctionAt(Index(a)); });
  c.def(
      "trace", [](const PyBoard& b, std::size_t n) { return b.TraceTail(n); }, pb::arg("n") = 20);
  c.def("messages", [](const PyBoard& b) {
    std::vector<std::string> texts;
    for (const auto& e : b.messages()) texts.push_back(e.text);
    return texts;
  });
  c.def("digest", [](PyBoard& b) { return DigestText(StateDigest(b.machine(), &b.board())); });
}

}  // namespace hc11::py
