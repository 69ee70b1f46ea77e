// GDB remote serial protocol framing: "$payload#cs" packets, the one-byte
// acknowledgements "+" and "-", and the raw 0x03 interrupt. The reader is a
// byte-at-a-time state machine so that a packet may arrive in any number of
// pieces; it never stores more than kMaxPayload bytes of one packet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hc11::gdb {

// The largest payload the stub accepts (announced as PacketSize).
inline constexpr std::size_t kMaxPayload = 4096;

enum class FrameEvent {
  Packet,       // a complete packet with a good checksum
  BadChecksum,  // a complete packet whose checksum does not match: answer "-"
  Oversized,    // a good checksum on a payload longer than kMaxPayload
  Ack,          // "+"
  Nak,          // "-": resend the last packet
  Interrupt,    // 0x03 outside a packet
};

class PacketReader {
 public:
  // Consumes one byte; returns an event when the byte completes one.
  std::optional<FrameEvent> Push(char byte);
  // The payload of the last Packet event (escapes left as sent).
  const std::string& payload() const { return payload_; }

 private:
  enum class State { Idle, Data, Check1, Check2 };
  State state_ = State::Idle;
  std::string payload_;
  bool oversized_ = false;
  std::uint8_t sum_ = 0;
  int check_ = 0;
};

// The modulo-256 sum of the payload bytes.
std::uint8_t Checksum(std::string_view payload);

// "$" + payload with '$', '#', '}' and '*' escaped + "#" + two hex digits.
std::string FramePacket(std::string_view payload);

// Undoes the "}" escape of binary data (the X packet); false when the data
// ends inside an escape.
bool UnescapeBinary(std::string_view data, std::string& out);

// Hex helpers for the packet bodies.
std::string HexBytes(const std::uint8_t* bytes, std::size_t count);
std::string HexText(std::string_view text);
std::optional<std::uint32_t> ParseHexNumber(std::string_view text);
// `text` as bytes, two hex digits each; nullopt on an odd length or a bad digit.
std::optional<std::string> DecodeHexBytes(std::string_view text);

}  // namespace hc11::gdb
