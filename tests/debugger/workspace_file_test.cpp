// The workspace file: tagged values byte for byte, a round trip, and reading
// that stops at the first fault keeping what came before.
#include "debugger/workspace_file.h"

#include <gtest/gtest.h>

namespace hc11::test {
namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int v : b) s += static_cast<char>(v);
  return s;
}

TEST(WorkspaceFile, TaggedValuesChooseTheirFormByRange) {
  struct Case {
    std::int32_t v;
    std::string bytes;
  };
  for (const Case& c : {Case{0, Bytes({2, 0})}, Case{-128, Bytes({2, 0x80})}, Case{127, Bytes({2, 0x7F})},
                        Case{128, Bytes({3, 0x80, 0})}, Case{-32768, Bytes({3, 0, 0x80})},
                        Case{0xFFFF, Bytes({4, 0xFF, 0xFF, 0, 0})}}) {
    std::string out;
    PutInteger(out, c.v);
    EXPECT_EQ(out, c.bytes) << c.v;
  }
  std::string t;
  PutText(t, "ab");
  EXPECT_EQ(t, Bytes({6, 2, 'a', 'b'}));
  t.clear();
  PutText(t, std::string(256, 'x'));
  EXPECT_EQ(t.substr(0, 5), Bytes({12, 0, 1, 0, 0}));
  t.clear();
  PutText(t, "é");
  EXPECT_EQ(t, Bytes({20, 2, 0, 0, 0, 0xC3, 0xA9}));
}

TEST(WorkspaceFile, EmptyWorkspaceIsTwentyBytes) {
  EXPECT_EQ(EncodeWorkspace({}, {}), Bytes({2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 6, 0, 6, 0, 6, 0, 2, 0, 2, 0}));
}

TEST(WorkspaceFile, RoundTripKeepsEveryField) {
  TSurv w;
  w.name = "compteur";
  w.WatchFormat = FmtString;
  w.address = 0x1234;
  w.type = 'C';
  w.bytesPer = 2;
  w.elements = 3;
  w.initial = "$12 $34";
  const std::vector<Tbreak> breaks = {{"nom", 0xE000, 'C', 2}, {"v", 0x0010, 'm', 5}};
  const std::string bytes = EncodeWorkspace(breaks, {w});
  const WorkspaceRead read = DecodeWorkspace(bytes);
  EXPECT_EQ(read.error, "");
  ASSERT_EQ(read.workspace.breaks.size(), 2u);
  EXPECT_EQ(BreakLine(read.workspace.breaks[1]), "0010 m BeakM    v");
  ASSERT_EQ(read.workspace.watches.size(), 1u);
  const TSurv& r = read.workspace.watches[0];
  EXPECT_EQ(r.name, "compteur");
  EXPECT_EQ(r.WatchFormat, FmtString);
  EXPECT_EQ(r.address, 0x1234);
  EXPECT_EQ(r.type, 'C');
  EXPECT_EQ(r.bytesPer, 2);
  EXPECT_EQ(r.elements, 3);
  EXPECT_EQ(r.initial, "$12 $34");
  EXPECT_EQ(r.WatchStatus, 'm');
  EXPECT_EQ(r.line, "xxx");
  EXPECT_EQ(EncodeWorkspace(read.workspace.breaks, read.workspace.watches), bytes);
}

TEST(WorkspaceFile, ReadingStopsAtTheFaultKeepingWhatCameBefore) {
  const std::vector<Tbreak> breaks = {{"a", 0x10, 'C', 2}, {"b", 0x20, 'C', 3}};
  const std::string good = EncodeWorkspace(breaks, {});
  // Header 16 bytes, count 2; first record 2+3+2+3+2 = 12 bytes.
  std::string wrongTag = good;
  wrongTag[18 + 12] = 2;  // second record's first text as an integer tag
  WorkspaceRead r = DecodeWorkspace(wrongTag);
  EXPECT_EQ(r.workspace.breaks.size(), 1u);
  EXPECT_EQ(r.error, "octet 30: étiquette 2 où un texte est attendu");

  r = DecodeWorkspace(good.substr(0, 25));
  EXPECT_EQ(r.workspace.breaks.size(), 0u);
  EXPECT_EQ(r.error, "octet 25: fichier tronqué");

  std::string far = EncodeWorkspace({}, {});
  far.resize(16);
  PutInteger(far, 1);
  PutText(far, "");
  PutText(far, "x");
  PutInteger(far, 0x10000);
  r = DecodeWorkspace(far);
  EXPECT_EQ(r.error, "octet 23: adresse hors limites: 65536");

  r = DecodeWorkspace(Bytes({6}));
  EXPECT_EQ(r.error, "octet 0: étiquette 6 où un entier est attendu");
}

}  // namespace
}  // namespace hc11::test
