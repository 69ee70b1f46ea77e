#include "gdbstub/packet.h"

namespace hc11::gdb {

namespace {

constexpr char kHex[] = "0123456789abcdef";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<FrameEvent> PacketReader::Push(char byte) {
  switch (state_) {
    case State::Idle:
      if (byte == '$') {
        state_ = State::Data;
        payload_.clear();
        oversized_ = false;
        sum_ = 0;
      } else if (byte == '+') {
        return FrameEvent::Ack;
      } else if (byte == '-') {
        return FrameEvent::Nak;
      } else if (byte == '\x03') {
        return FrameEvent::Interrupt;
      }
      return std::nullopt;  // noise between packets is dropped
    case State::Data:
      if (byte == '#') {
        state_ = State::Check1;
        return std::nullopt;
      }
      if (byte == '$') {  // a new start: the broken packet before it is lost
        payload_.clear();
        oversized_ = false;
        sum_ = 0;
        return std::nullopt;
      }
      sum_ = static_cast<std::uint8_t>(sum_ + static_cast<std::uint8_t>(byte));
      if (payload_.size() < kMaxPayload) {
        payload_.push_back(byte);
      } else {
        oversized_ = true;
      }
      return std::nullopt;
    case State::Check1:
      check_ = HexValue(byte);
      state_ = State::Check2;
      return std::nullopt;
    case State::Check2: {
      state_ = State::Idle;
      const int low = HexValue(byte);
      if (check_ < 0 || low < 0 || (check_ << 4 | low) != sum_) return FrameEvent::BadChecksum;
      if (oversized_) {
        payload_.clear();
        return FrameEvent::Oversized;
      }
      return FrameEvent::Packet;
    }
  }
  return std::nullopt;
}

std::uint8_t Checksum(std::string_view payload) {
  std::uint8_t sum = 0;
  for (char c : payload) sum = static_cast<std::uint8_t>(sum + static_cast<std::uint8_t>(c));
  return sum;
}

std::string FramePacket(std::string_view payload) {
  std::string body;
  body.reserve(payload.size() + 8);
  for (char c : payload) {
    if (c == '$' || c == '#' || c == '}' || c == '*') {
      body.push_back('}');
      body.push_back(static_cast<char>(c ^ 0x20));
    } else {
      body.push_back(c);
    }
  }
  const std::uint8_t sum = Checksum(body);
  std::string framed = "$" + body + "#";
  framed.push_back(kHex[sum >> 4]);
  framed.push_back(kHex[sum & 15]);
  return framed;
}

bool UnescapeBinary(std::string_view data, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] != '}') {
      out.push_back(data[i]);
      continue;
    }
    if (++i == data.size()) return false;
    out.push_back(static_cast<char>(data[i] ^ 0x20));
  }
  return true;
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
  std::string text;
  text.reserve(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    text.push_back(kHex[bytes[i] >> 4]);
    text.push_back(kHex[bytes[i] & 15]);
  }
  return text;
}

std::string HexText(std::string_view text) {
  return HexBytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::optional<std::uint32_t> ParseHexNumber(std::string_view text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  std::uint32_t v = 0;
  for (char c : text) {
    const int d = HexValue(c);
    if (d < 0) return std::nullopt;
    v = v << 4 | static_cast<std::uint32_t>(d);
  }
  return v;
}

std::optional<std::string> DecodeHexBytes(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexValue(text[i]), low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<char>(high << 4 | low));
  }
  return bytes;
}

}  // namespace hc11::gdb
