// The protocol's framing: each message is a header block ("Content-Length:
// N", other fields ignored, lines ended by CR LF) then N bytes of JSON. The
// reader takes bytes as they arrive and hands out whole messages; a header
// it cannot read, a length above the limit or a body that is not a JSON
// object comes out as a fault, and reading goes on with the next message.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace hc11::dap {

using Json = nlohmann::json;

inline constexpr std::size_t kMessageMax = 1 << 20;  // 1 MiB of body
inline constexpr std::size_t kHeaderMax = 1024;      // a header block longer than this is refused

enum class ReadFault : std::uint8_t {
  None,
  BadHeader,   // no readable Content-Length in the header block
  TooLarge,    // the body announced is above kMessageMax (skipped unread)
  BadJson,     // the body is not JSON
  NotAnObject  // JSON, but not an object
};

struct ReadItem {
  ReadFault fault = ReadFault::None;
  Json message;  // an object when fault is None
};

class MessageReader {
 public:
  void Feed(std::string_view bytes) { buffer_.append(bytes); }
  // The next whole message or fault; nullopt until more bytes come.
  std::optional<ReadItem> Next();

 private:
  std::string buffer_;
  std::size_t skip_ = 0;  // bytes of an oversized body still to drop
};

// The bytes on the wire for one message.
std::string Frame(const Json& message);

// One line naming a fault, for the error response.
std::string FaultText(const ReadItem& item);

}  // namespace hc11::dap
