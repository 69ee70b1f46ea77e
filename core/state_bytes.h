// Saving the visited state to bytes and loading it back. Integers are
// little-endian whatever the host, strings and line lists carry their
// length first; nothing else is added, so an image holds exactly the fields
// in visiting order. The reader checks every length against what is left,
// never reads past the end and stops at the first fault, which it names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/state_visitor.h"

namespace hc11 {

// Where a writer puts its bytes.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Put(const std::uint8_t* p, std::size_t n) = 0;
};

// Where a reader takes them from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies the next `n` bytes to `p`; false, taking nothing, when fewer are left.
  virtual bool Get(std::uint8_t* p, std::size_t n) = 0;
  virtual std::size_t Remaining() const = 0;
};

class VectorSink final : public ByteSink {
 public:
  explicit VectorSink(std::vector<std::uint8_t>& out) : out_(out) {}
  void Put(const std::uint8_t* p, std::size_t n) override { out_.insert(out_.end(), p, p + n); }

 private:
  std::vector<std::uint8_t>& out_;
};

class SpanSource final : public ByteSource {
 public:
  explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Get(std::uint8_t* p, std::size_t n) override;
  std::size_t Remaining() const override { return bytes_.size() - at_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

class StateWriter final : public StateVisitor {
 public:
  explicit StateWriter(ByteSink& sink) : sink_(sink) {}
  void Field(const char* name, bool& v) override;
  void Field(const char* name, std::uint8_t& v) override;
  void Field(const char* name, std::uint16_t& v) override;
  void Field(const char* name, std::uint32_t& v) override;
  void Field(const char* name, std::uint64_t& v) override;
  void Field(const char* name, std::string& v) override;
  void Bytes(const char* name, std::span<std::uint8_t> bytes) override;
  void Column(const char* name, std::uint8_t* first, std::size_t count, std::size_t stride) override;
  void Lines(const char* name, std::deque<std::string>& lines) override;
  using StateVisitor::Field;

 private:
  void Le(std::uint64_t v, std::size_t n);
  ByteSink& sink_;
};

enum class StateFault : std::uint8_t {
  None,
  Truncated,   // the image ends inside a field
  BadValue,    // a byte that no value of the field is (a bool neither 0 nor 1)
  OutOfRange,  // a count or index beyond what the object allows
  Trailing,    // bytes left after the last field
};

struct StateReadError {
  StateFault fault = StateFault::None;
  std::string where;  // group path and field, "board/i2c/I2cCount"
  // "truncated at board/i2c/I2cFrame", for a message.
  std::string Text() const;
};

// Loads the fields in visiting order. After the first fault it reads nothing
// more and leaves the remaining fields as they are: the caller throws the
// half-loaded object away (or loads a sound image into it).
class StateReader final : public StateVisitor {
 public:
  explicit StateReader(ByteSource& source) : source_(source) {}
  void Begin(const char* name) override;
  void End() override;
  void Field(const char* name, bool& v) override;
  void Field(const char* name, std::uint8_t& v) override;
  void Field(const char* name, std::uint16_t& v) override;
  void Field(const char* name, std::uint32_t& v) override;
  void Field(const char* name, std::uint64_t& v) override;
  void Field(const char* name, std::string& v) override;
  void Bytes(const char* name, std::span<std::uint8_t> bytes) override;
  void Column(const char* name, std::uint8_t* first, std::size_t count, std::size_t stride) override;
  void Lines(const char* name, std::deque<std::string>& lines) override;
  using StateVisitor::Field;

  bool Ok() const { return error_.fault == StateFault::None; }
  // Call after the last Visit: bytes left over are a fault too.
  bool Finish();
  const StateReadError& Error() const { return error_; }

 protected:
  bool Refuse(const char* name) override;

 private:
  bool Le(const char* name, std::uint64_t& v, std::size_t n);
  bool Take(const char* name, std::uint8_t* p, std::size_t n);
  void Fail(StateFault fault, const char* name);

  ByteSource& source_;
  std::vector<const char*> groups_;
  StateReadError error_;
};

}  // namespace hc11
