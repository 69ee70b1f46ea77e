// One walk over an object's simulated state. Each object that holds such
// state names every field of it once, in order, in its Visit(StateVisitor&);
// the visitors save the fields to bytes, load them back or hash them, so a
// snapshot, a state file and the state digest can never list different
// fields. Only simulated state is visited: wiring (hooks, observers, sinks,
// peripherals, callbacks), the debugger's lists, counters and settings, and
// the run engine's command variables are not.
//
// Visit takes the object non-const because a loading visitor writes the
// fields; saving and hashing visitors only read them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>

namespace hc11 {

class StateVisitor {
 public:
  virtual ~StateVisitor() = default;

  // A named group of fields (one device); groups nest. A loading visitor
  // names the group path in its errors.
  virtual void Begin(const char* name) { (void)name; }
  virtual void End() {}

  virtual void Field(const char* name, bool& v) = 0;
  virtual void Field(const char* name, std::uint8_t& v) = 0;
  virtual void Field(const char* name, std::uint16_t& v) = 0;
  virtual void Field(const char* name, std::uint32_t& v) = 0;
  virtual void Field(const char* name, std::uint64_t& v) = 0;
  virtual void Field(const char* name, std::string& v) = 0;
  // A block of bytes whose length is the object's own (an array).
  virtual void Bytes(const char* name, std::span<std::uint8_t> bytes) = 0;
  // `count` bytes, each `stride` bytes after the previous one from `first`:
  // one member of every record of a table, which starts at `first` and
  // spans count * stride bytes (the member is the first of its record).
  virtual void Column(const char* name, std::uint8_t* first, std::size_t count, std::size_t stride) = 0;
  // A list of text lines of any length.
  virtual void Lines(const char* name, std::deque<std::string>& lines) = 0;

  // Signed integers travel as their unsigned twins (same bytes).
  void Field(const char* name, std::int8_t& v) { Field(name, reinterpret_cast<std::uint8_t&>(v)); }
  void Field(const char* name, std::int16_t& v) { Field(name, reinterpret_cast<std::uint16_t&>(v)); }
  void Field(const char* name, std::int32_t& v) { Field(name, reinterpret_cast<std::uint32_t&>(v)); }
  void Field(const char* name, std::int64_t& v) { Field(name, reinterpret_cast<std::uint64_t&>(v)); }

  // A field the object indexes with or relies on staying within [lo, hi]: a
  // loaded value outside is refused (and the field set to `lo`), so a garbled
  // image cannot lead a device past the end of its buffers.
  template <class T>
  void Bounded(const char* name, T& v, T lo, T hi) {
    Field(name, v);
    if ((v < lo || v > hi) && Refuse(name)) v = lo;
  }

 protected:
  // A loaded value broke its bounds; true when the visitor loads (the field
  // is then reset). Saving and hashing visitors never see one.
  virtual bool Refuse(const char* name) {
    (void)name;
    return false;
  }
};

}  // namespace hc11
