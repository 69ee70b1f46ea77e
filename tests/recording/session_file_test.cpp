// The session file: what is written reads back the same, and a hostile file
// is refused whole with the line that is wrong.
#include "recording/session_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_files.h"

namespace hc11::test {
namespace {

SessionFile Sample() {
  SessionFile s;
  s.program = "demo build 2";
  s.digest = 0x0123456789abcdefULL;
  s.clock = SessionClock::Exact;
  s.inputs = {{0, SessionInputKind::Signal, 40, {}},
              {0, SessionInputKind::OcFreq, 145650, {}},
              {1200, SessionInputKind::KeyDown, 5, {}},
              {5400, SessionInputKind::KeyUp, 5, {}},
              {6000, SessionInputKind::OnOffDown, 0, {}},
              {6001, SessionInputKind::OnOffUp, 0, {}},
              {7000, SessionInputKind::Oc, 1, {}},
              {9000, SessionInputKind::Serial, 0, {'A', 'T', '\r', 0, 0xFF, '"', '\\', '\n', '\t'}},
              {9100, SessionInputKind::Host, 0, {'x'}},
              {9200, SessionInputKind::MemoClear, 0, {}},
              {9300, SessionInputKind::DisplayClick, 0, {}},
              {9400, SessionInputKind::PowerCut, 0, {}},
              {9400, SessionInputKind::PowerOn, 0, {}}};
  s.outputs = {{9000, BoardOutput::Transmit, 0x41, 0},
               {9800, BoardOutput::Display, 0x3f065b4f, 0},
               {9800, BoardOutput::Leds, 0xA, 0},
               {9900, BoardOutput::OutA, 0x30, 0},
               {9900, BoardOutput::Pcf, 0x80, 0},
               {9950, BoardOutput::Eeprom, 0x5A, 0x7FF},
               {9960, BoardOutput::Synth, 0x12 | 0x345 << 7 | 0x100 << 17, 0},
               {9970, BoardOutput::Tone, 1000, 0}};
  s.end = 20000;
  return s;
}

TEST(SessionFile, WhatIsWrittenReadsBackTheSame) {
  const SessionFile s = Sample();
  const SessionReadResult r = ParseSession(FormatSession(s));
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(*r.session, s);

  const auto dir = FreshTestFolder("session_file");
  const std::string path = (dir / "s.session").string();
  std::string error;
  ASSERT_TRUE(WriteSessionFile(path, s, error)) << error;
  const SessionReadResult back = ReadSessionFile(path);
  ASSERT_TRUE(back.ok()) << back.message;
  EXPECT_EQ(*back.session, s);
}

TEST(SessionFile, TheTextIsOneEventALineInTimeOrder) {
  SessionFile s;
  s.program = "demo";
  s.inputs = {{10, SessionInputKind::Serial, 0, {'A', '\r', 1}}};
  s.outputs = {{5, BoardOutput::Transmit, 0x41, 0}, {10, BoardOutput::Eeprom, 7, 0x10}};
  s.end = 12;
  EXPECT_EQ(FormatSession(s),
            "hc11flow session 1\nprogram demo\ndigest 0000000000000000\nclock designed\n# time kind value\n"
            "out 5 tx 41\nin 10 serial \"A\\r\\x01\"\nout 10 eeprom 010 07\nend 12\n");
}

constexpr const char* kHead = "hc11flow session 1\nprogram demo\ndigest 00ff\nclock designed\n";

TEST(SessionFile, HostileFilesAreRefusedWithTheirLine) {
  struct Case {
    const char* name;
    std::string text;
    SessionFileError error;
    int line;
  };
  const std::string head = kHead;
  const std::vector<Case> cases = {
      {"empty", "", SessionFileError::Header, 0},
      {"other format", "hello\n", SessionFileError::Header, 1},
      {"newer version", "hc11flow session 2\n", SessionFileError::Header, 1},
      {"bad digest", "hc11flow session 1\nprogram x\ndigest zz\n", SessionFileError::Header, 3},
      {"bad clock", "hc11flow session 1\nprogram x\ndigest 1\nclock fast\n", SessionFileError::Header, 4},
      {"no end line", head + "in 0 signal 40\n", SessionFileError::Truncated, 5},
      {"truncated line", head + "in 5 key\n", SessionFileError::BadValue, 5},
      {"unterminated string", head + "in 5 serial \"AT\nend 9\n", SessionFileError::Truncated, 5},
      {"escape cut", head + "in 5 serial \"AT\\", SessionFileError::Truncated, 5},
      {"bad escape", head + "in 5 serial \"\\q\"\nend 9\n", SessionFileError::BadValue, 5},
      {"short hex escape", head + "in 5 serial \"\\x4\"\nend 9\n", SessionFileError::BadValue, 5},
      {"unknown line", head + "at 5 key 1 down\nend 9\n", SessionFileError::UnknownKind, 5},
      {"unknown input", head + "in 5 joystick 1\nend 9\n", SessionFileError::UnknownKind, 5},
      {"unknown output", head + "out 5 laser 1\nend 9\n", SessionFileError::UnknownKind, 5},
      {"input time back", head + "in 5 oc 1\nin 4 oc 0\nend 9\n", SessionFileError::TimeBack, 6},
      {"output time back", head + "out 5 tx 1\nout 4 tx 2\nend 9\n", SessionFileError::TimeBack, 6},
      {"end before events", head + "out 5 tx 1\nend 4\n", SessionFileError::TimeBack, 6},
      {"negative time", head + "in -5 oc 1\nend 9\n", SessionFileError::BadValue, 5},
      {"huge time", head + "in 99999999999999999999 oc 1\nend 9\n", SessionFileError::BadValue, 5},
      {"key out of pad", head + "in 5 key 12 down\nend 9\n", SessionFileError::BadValue, 5},
      {"signal above 255", head + "in 5 signal 256\nend 9\n", SessionFileError::BadValue, 5},
      {"huge frequency", head + "in 5 ocfreq 4294967296\nend 9\n", SessionFileError::BadValue, 5},
      {"byte above ff", head + "out 5 tx 100\nend 9\n", SessionFileError::BadValue, 5},
      {"eeprom beyond part", head + "out 5 eeprom 800 01\nend 9\n", SessionFileError::BadValue, 5},
      {"trailing words", head + "in 5 oc 1 2\nend 9\n", SessionFileError::BadValue, 5},
      {"after the end", head + "end 9\nin 10 oc 1\n", SessionFileError::BadValue, 6},
      {"huge string", head + "in 5 serial \"" + std::string(5000, 'a') + "\"\nend 9\n",
       SessionFileError::BadValue, 5},
  };
  for (const Case& c : cases) {
    const SessionReadResult r = ParseSession(c.text);
    EXPECT_EQ(r.error, c.error) << c.name << ": " << r.message;
    EXPECT_EQ(r.line, c.line) << c.name;
    EXPECT_FALSE(r.session.has_value()) << c.name << ": nothing of a refused file is kept";
    if (c.line > 0) {
      EXPECT_NE(r.message.find("line " + std::to_string(c.line)), std::string::npos) << r.message;
    }
  }
}

TEST(SessionFile, CommentsBlankLinesAndCarriageReturnsAreAllowed) {
  const SessionReadResult r = ParseSession(std::string(kHead) + "\r\n# a note\n  in 3 key 0 down\r\nend 3\n");
  ASSERT_TRUE(r.ok()) << r.message;
  ASSERT_EQ(r.session->inputs.size(), 1u);
  EXPECT_EQ(r.session->inputs[0].kind, SessionInputKind::KeyDown);
}

TEST(SessionFile, AMissingOrSpecialFileIsRefused) {
  const auto dir = FreshTestFolder("session_file");
  EXPECT_EQ(ReadSessionFile((dir / "none.session").string()).error, SessionFileError::Open);
  EXPECT_EQ(ReadSessionFile(dir.string()).error, SessionFileError::Open);
  std::string error;
  EXPECT_FALSE(WriteSessionFile((dir / "no" / "such" / "folder.session").string(), Sample(), error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace hc11::test
