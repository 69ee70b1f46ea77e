// Packet framing: what the reader makes of byte streams however they are cut,
// and the escaping of replies and binary data.
#include "gdbstub/packet.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace hc11::gdb {
namespace {

std::string EventName(FrameEvent e) {
  switch (e) {
    case FrameEvent::Packet:
      return "packet";
    case FrameEvent::BadChecksum:
      return "bad";
    case FrameEvent::Oversized:
      return "oversized";
    case FrameEvent::Ack:
      return "+";
    case FrameEvent::Nak:
      return "-";
    case FrameEvent::Interrupt:
      return "^C";
  }
  return "?";
}

// Every event of a stream, a packet shown with its payload.
std::vector<std::string> Events(const std::string& stream) {
  PacketReader reader;
  std::vector<std::string> events;
  for (char c : stream) {
    if (const auto e = reader.Push(c)) {
      events.push_back(*e == FrameEvent::Packet ? "packet:" + reader.payload() : EventName(*e));
    }
  }
  return events;
}

TEST(PacketReaderTest, StreamsGiveTheirEvents) {
  const std::string big(kMaxPayload + 1, 'a');
  const std::string bigFramed = FramePacket(big);
  const std::string atLimit(kMaxPayload, 'b');
  struct Case {
    std::string stream;
    std::vector<std::string> events;
  } cases[] = {
      {"$g#67", {"packet:g"}},
      {"+$?#3f-", {"+", "packet:?", "-"}},
      {"$g#68", {"bad"}},
      {"$g#zz", {"bad"}},
      {"\x03", {"^C"}},
      {"junk$m0,1#fa", {"packet:m0,1"}},
      {"$#00", {"packet:"}},
      {"$par$g#67", {"packet:g"}},  // a new start drops the broken packet
      {bigFramed, {"oversized"}},
      {FramePacket(atLimit), {"packet:" + atLimit}},
      {FramePacket("X0,1:\x03"), {"packet:X0,1:\x03"}},  // 0x03 inside a packet is data
  };
  for (const Case& c : cases) EXPECT_EQ(Events(c.stream), c.events) << c.stream.substr(0, 40);
}

TEST(PacketReaderTest, APacketCutIntoPiecesIsTheSamePacket) {
  const std::string stream = FramePacket("qSupported:swbreak+") + "+" + FramePacket("g");
  for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
    PacketReader reader;
    std::vector<std::string> payloads;
    for (const std::string& part : {stream.substr(0, cut), stream.substr(cut)})
      for (char c : part)
        if (reader.Push(c) == FrameEvent::Packet) payloads.push_back(reader.payload());
    EXPECT_EQ(payloads, (std::vector<std::string>{"qSupported:swbreak+", "g"})) << cut;
  }
}

TEST(PacketFramingTest, RepliesEscapeTheFramingCharactersAndCheckTheEscapedBytes) {
  EXPECT_EQ(FramePacket("OK"), "$OK#9a");
  const std::string framed = FramePacket("a$b#c}d*e");
  EXPECT_EQ(framed.substr(0, framed.size() - 3),
            "$a}\x04"
            "b}\x03"
            "c}]d}\x0a"
            "e");
  // The reader sees a good packet, and the binary escape gives back the text.
  PacketReader reader;
  std::optional<FrameEvent> last;
  for (char c : framed) last = reader.Push(c);
  ASSERT_EQ(last, FrameEvent::Packet);
  std::string text;
  ASSERT_TRUE(UnescapeBinary(reader.payload(), text));
  EXPECT_EQ(text, "a$b#c}d*e");
  EXPECT_FALSE(UnescapeBinary("ab}", text));  // ends inside an escape
}

TEST(PacketFramingTest, HexHelpersRefuseWhatIsNotHex) {
  EXPECT_EQ(ParseHexNumber("e00F"), 0xE00Fu);
  EXPECT_EQ(ParseHexNumber(""), std::nullopt);
  EXPECT_EQ(ParseHexNumber("12g"), std::nullopt);
  EXPECT_EQ(ParseHexNumber("123456789"), std::nullopt);  // more than 32 bits
  EXPECT_EQ(DecodeHexBytes("00ff7a"), std::string("\x00\xff\x7a", 3));
  EXPECT_EQ(DecodeHexBytes("0"), std::nullopt);
  EXPECT_EQ(DecodeHexBytes("0x"), std::nullopt);
}

}  // namespace
}  // namespace hc11::gdb
