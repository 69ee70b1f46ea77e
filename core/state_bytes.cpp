#include "core/state_bytes.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace hc11 {

namespace {
// Columns travel through a small buffer: gathered, then written in one piece.
constexpr std::size_t kColumnChunk = 4096;
constexpr std::size_t kLengthBytes = 4;
}  // namespace

bool SpanSource::Get(std::uint8_t* p, std::size_t n) {
  if (n > Remaining()) return false;
  if (n != 0) std::memcpy(p, bytes_.data() + at_, n);
  at_ += n;
  return true;
}

// --- Writer ------------------------------------------------------------------

void StateWriter::Le(std::uint64_t v, std::size_t n) {
  std::array<std::uint8_t, 8> b;
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
  sink_.Put(b.data(), n);
}

void StateWriter::Field(const char*, bool& v) {
  Le(v ? 1 : 0, 1);
}
void StateWriter::Field(const char*, std::uint8_t& v) {
  Le(v, 1);
}
void StateWriter::Field(const char*, std::uint16_t& v) {
  Le(v, 2);
}
void StateWriter::Field(const char*, std::uint32_t& v) {
  Le(v, 4);
}
void StateWriter::Field(const char*, std::uint64_t& v) {
  Le(v, 8);
}

void StateWriter::Field(const char*, std::string& v) {
  Le(v.size(), kLengthBytes);
  sink_.Put(reinterpret_cast<const std::uint8_t*>(v.data()), v.size());
}

void StateWriter::Bytes(const char*, std::span<std::uint8_t> bytes) {
  sink_.Put(bytes.data(), bytes.size());
}

void StateWriter::Column(const char*, std::uint8_t* first, std::size_t count, std::size_t stride) {
  std::array<std::uint8_t, kColumnChunk> chunk;
  for (std::size_t done = 0; done < count;) {
    const std::size_t n = std::min(kColumnChunk, count - done);
    for (std::size_t i = 0; i < n; ++i) chunk[i] = first[(done + i) * stride];
    sink_.Put(chunk.data(), n);
    done += n;
  }
}

void StateWriter::Lines(const char* name, std::deque<std::string>& lines) {
  Le(lines.size(), kLengthBytes);
  for (std::string& line : lines) Field(name, line);
}

// --- Reader ------------------------------------------------------------------

std::string StateReadError::Text() const {
  switch (fault) {
    case StateFault::None:
      return {};
    case StateFault::Truncated:
      return "truncated at " + where;
    case StateFault::BadValue:
      return "bad value at " + where;
    case StateFault::OutOfRange:
      return "value out of range at " + where;
    case StateFault::Trailing:
      return "unexpected bytes after " + where;
  }
  return {};
}

void StateReader::Fail(StateFault fault, const char* name) {
  if (!Ok()) return;
  error_.fault = fault;
  for (const char* g : groups_) error_.where.append(g).push_back('/');
  error_.where.append(name);
}

void StateReader::Begin(const char* name) {
  groups_.push_back(name);
}

void StateReader::End() {
  if (!groups_.empty()) groups_.pop_back();
}

bool StateReader::Take(const char* name, std::uint8_t* p, std::size_t n) {
  if (!Ok()) return false;
  if (source_.Get(p, n)) return true;
  Fail(StateFault::Truncated, name);
  return false;
}

bool StateReader::Le(const char* name, std::uint64_t& v, std::size_t n) {
  std::array<std::uint8_t, 8> b;
  if (!Take(name, b.data(), n)) return false;
  v = 0;
  for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t{b[i]} << (8 * i);
  return true;
}

void StateReader::Field(const char* name, bool& v) {
  std::uint64_t x = 0;
  if (!Le(name, x, 1)) return;
  if (x > 1) return Fail(StateFault::BadValue, name);
  v = x != 0;
}

void StateReader::Field(const char* name, std::uint8_t& v) {
  std::uint64_t x = 0;
  if (Le(name, x, 1)) v = static_cast<std::uint8_t>(x);
}
void StateReader::Field(const char* name, std::uint16_t& v) {
  std::uint64_t x = 0;
  if (Le(name, x, 2)) v = static_cast<std::uint16_t>(x);
}
void StateReader::Field(const char* name, std::uint32_t& v) {
  std::uint64_t x = 0;
  if (Le(name, x, 4)) v = static_cast<std::uint32_t>(x);
}
void StateReader::Field(const char* name, std::uint64_t& v) {
  std::uint64_t x = 0;
  if (Le(name, x, 8)) v = x;
}

void StateReader::Field(const char* name, std::string& v) {
  std::uint64_t n = 0;
  if (!Le(name, n, kLengthBytes)) return;
  if (n > source_.Remaining()) return Fail(StateFault::Truncated, name);
  v.resize(static_cast<std::size_t>(n));
  Take(name, reinterpret_cast<std::uint8_t*>(v.data()), v.size());
}

void StateReader::Bytes(const char* name, std::span<std::uint8_t> bytes) {
  Take(name, bytes.data(), bytes.size());
}

void StateReader::Column(const char* name, std::uint8_t* first, std::size_t count, std::size_t stride) {
  if (count > source_.Remaining()) return Fail(StateFault::Truncated, name);
  std::array<std::uint8_t, kColumnChunk> chunk;
  for (std::size_t done = 0; done < count;) {
    const std::size_t n = std::min(kColumnChunk, count - done);
    if (!Take(name, chunk.data(), n)) return;
    for (std::size_t i = 0; i < n; ++i) first[(done + i) * stride] = chunk[i];
    done += n;
  }
}

void StateReader::Lines(const char* name, std::deque<std::string>& lines) {
  std::uint64_t n = 0;
  if (!Le(name, n, kLengthBytes)) return;
  // Each line takes at least its length: a count beyond that is garbled.
  if (n > source_.Remaining() / kLengthBytes) return Fail(StateFault::Truncated, name);
  lines.resize(static_cast<std::size_t>(n));
  for (std::string& line : lines) Field(name, line);
}

bool StateReader::Refuse(const char* name) {
  Fail(StateFault::OutOfRange, name);
  return true;
}

bool StateReader::Finish() {
  if (Ok() && source_.Remaining() != 0) Fail(StateFault::Trailing, "the last field");
  return Ok();
}

}  // namespace hc11
