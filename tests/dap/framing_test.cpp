// The message reader, the framing of what the adapter sends, and the small
// readers the requests share (base64, hit conditions, numbers, serial text).
#include <gtest/gtest.h>

#include "dap/adapter.h"
#include "dap/base64.h"
#include "dap/break_groups.h"
#include "dap/message_reader.h"
#include "dap/stop_reason.h"

namespace hc11::dap {
namespace {

std::string Framed(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// What the reader makes of `input`: each item as its fault, or as the
// request's command; fed whole, then again one byte at a time.
std::vector<std::string> ReadAll(const std::string& input, bool byteByByte) {
  MessageReader reader;
  std::vector<std::string> out;
  auto drain = [&] {
    while (auto item = reader.Next())
      out.push_back(item->fault == ReadFault::None
                        ? item->message.value("command", "?")
                        : "fault " + std::to_string(static_cast<int>(item->fault)));
  };
  if (byteByByte) {
    for (const char c : input) {
      reader.Feed(std::string_view(&c, 1));
      drain();
    }
  } else {
    reader.Feed(input);
    drain();
  }
  return out;
}

const std::string kNext = R"({"seq":1,"type":"request","command":"next"})";
const std::string kPause = R"({"seq":2,"type":"request","command":"pause"})";
const std::string kBadHeader = "fault 1", kTooLarge = "fault 2", kBadJson = "fault 3", kNotObject = "fault 4";

TEST(DapReader, FramesWholeMessagesAndReportsEachFaultThenReadsOn) {
  const struct {
    const char* what;
    std::string input;
    std::vector<std::string> expected;
    std::vector<std::string> byteByByte =
        {};  // when it differs: bytes seen before the limit are judged apart
  } cases[] = {
      {"one message", Framed(kNext), {"next"}},
      {"two in one read", Framed(kNext) + Framed(kPause), {"next", "pause"}},
      {"header name in any case, other fields ignored",
       "content-length: " + std::to_string(kNext.size()) + "\r\nContent-Type: utf-8\r\n\r\n" + kNext,
       {"next"}},
      {"body not yet complete", Framed(kNext).substr(0, 30), {}},
      {"no length", "Content-Type: x\r\n\r\n" + Framed(kPause), {kBadHeader, "pause"}},
      {"length not a number", "Content-Length: 12a\r\n\r\n" + Framed(kPause), {kBadHeader, "pause"}},
      {"header line without a colon", "garbage\r\n\r\n" + Framed(kPause), {kBadHeader, "pause"}},
      {"oversized body skipped unread",
       Framed(std::string(kMessageMax + 1, ' ')) + Framed(kPause),
       {kTooLarge, "pause"}},
      {"exactly the limit is read", Framed(kNext + std::string(kMessageMax - kNext.size(), ' ')), {"next"}},
      {"not JSON", Framed("{\"seq\":") + Framed(kPause), {kBadJson, "pause"}},
      {"JSON but not an object", Framed("[1,2]") + Framed(kPause), {kNotObject, "pause"}},
      {"stray bytes before a header",
       std::string(kHeaderMax + 10, 'x') + Framed(kPause),
       {kBadHeader, "pause"},
       {kBadHeader, kBadHeader, "pause"}},
      {"a few stray bytes glued to a header", "xyz" + Framed(kPause), {kBadHeader, "pause"}},
      {"a header block above the limit",
       std::string(kHeaderMax + 10, 'x') + "\r\n\r\n" + Framed(kPause),
       {kBadHeader, "pause"},
       {kBadHeader, kBadHeader, "pause"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadAll(c.input, false), c.expected) << c.what;
    EXPECT_EQ(ReadAll(c.input, true), c.byteByByte.empty() ? c.expected : c.byteByByte)
        << c.what << ", one byte at a time";
  }
}

TEST(DapReader, FrameIsReadBackAndCountsBytesNotCharacters) {
  const Json m = {{"type", "event"}, {"event", "output"}, {"body", {{"output", "stop arrière\n"}}}};
  const std::string wire = Frame(m);
  const std::string body = m.dump();
  EXPECT_EQ(wire, "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  MessageReader reader;
  reader.Feed(wire);
  const auto item = reader.Next();
  ASSERT_TRUE(item);
  EXPECT_EQ(item->message, m);
}

TEST(DapBase64, EncodesAndDecodesTheStandardVectors) {
  const struct {
    std::string plain, coded;
  } cases[] = {{"", ""},
               {"f", "Zg=="},
               {"fo", "Zm8="},
               {"foo", "Zm9v"},
               {"foob", "Zm9vYg=="},
               {"fooba", "Zm9vYmE="},
               {"foobar", "Zm9vYmFy"},
               {std::string("\xff\x00\x80", 3), "/wCA"}};
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeBase64(reinterpret_cast<const std::uint8_t*>(c.plain.data()), c.plain.size()), c.coded);
    const auto back = DecodeBase64(c.coded);
    ASSERT_TRUE(back) << c.coded;
    EXPECT_EQ(std::string(back->begin(), back->end()), c.plain);
  }
  for (const char* bad : {"Zg=", "Zm9v!A==", "====", "Zg==Zg==x", "Z==="})
    EXPECT_FALSE(DecodeBase64(bad)) << bad;
}

TEST(DapHitCondition, ReadsNthAndEveryNthAndRefusesTheRest) {
  const struct {
    const char* text;
    bool ok;
    HitRule rule;
    std::uint32_t count;
  } cases[] = {
      {"", true, HitRule::Always, 0},     {"3", true, HitRule::Nth, 3},
      {" 12 ", true, HitRule::Nth, 12},   {"%4", true, HitRule::EveryNth, 4},
      {"*2", true, HitRule::EveryNth, 2}, {"0", false, HitRule::Always, 0},
      {">3", false, HitRule::Always, 0},  {"3x", false, HitRule::Always, 0},
      {"%", false, HitRule::Always, 0},   {"9999999999", false, HitRule::Always, 0},
  };
  for (const auto& c : cases) {
    BreakExtras e;
    std::string message;
    EXPECT_EQ(ParseHitCondition(c.text, e, message), c.ok) << c.text;
    if (!c.ok) {
      EXPECT_NE(message.find("hit condition"), std::string::npos) << c.text;
      continue;
    }
    EXPECT_EQ(e.rule, c.rule) << c.text;
    if (c.rule != HitRule::Always) {
      EXPECT_EQ(e.count, c.count) << c.text;
    }
  }
}

TEST(DapStopReason, EveryCauseHasTheProtocolsReason) {
  const struct {
    StopCause cause;
    const char* reason;
  } cases[] = {
      {StopCause::StepDone, "step"},         {StopCause::CallReturned, "step"},
      {StopCause::TargetReached, "step"},    {StopCause::Breakpoint, "breakpoint"},
      {StopCause::Expression, "breakpoint"}, {StopCause::RamBreakpoint, "data breakpoint"},
      {StopCause::Error, "exception"},       {StopCause::StopRequested, "pause"},
      {StopCause::BudgetSpent, "pause"},     {StopCause::ReplayEnd, "step"},
      {StopCause::RecordStart, "step"},      {StopCause::NothingRecorded, "step"},
  };
  for (const auto& c : cases) EXPECT_STREQ(StopReason(c.cause), c.reason) << static_cast<int>(c.cause);
  EXPECT_EQ(StopReason(StopCause::None), nullptr);
}

TEST(DapText, SerialBytesAndNumbersAsTheClientWritesThem) {
  const struct {
    std::uint8_t byte;
    const char* text;
  } bytes[] = {{'A', "A"},     {' ', " "},   {'\n', "\n"},   {'\r', "\\x0D"},
               {'\\', "\\\\"}, {0, "\\x00"}, {0xE8, "\\xE8"}};
  for (const auto& b : bytes) EXPECT_EQ(EscapedSerial(b.byte), b.text) << int{b.byte};

  const struct {
    const char* text;
    std::uint32_t max;
    std::optional<std::uint32_t> value;
  } numbers[] = {
      {"$1F", 0xFFFF, 0x1F},        {"0x1f", 0xFFFF, 0x1F},       {"10", 0xFFFF, 0x10},
      {" E000 ", 0xFFFF, 0xE000},   {"FFFF", 0xFFFF, 0xFFFF},     {"10000", 0xFFFF, std::nullopt},
      {"100", 0xFF, std::nullopt},  {"", 0xFFFF, std::nullopt},   {"$", 0xFFFF, std::nullopt},
      {"zz", 0xFFFF, std::nullopt}, {"-1", 0xFFFF, std::nullopt},
  };
  for (const auto& n : numbers) EXPECT_EQ(ParseNumber(n.text, n.max), n.value) << n.text;
}

}  // namespace
}  // namespace hc11::dap
