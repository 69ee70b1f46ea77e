// The state visitor: every visited field survives a save and load, counts in
// the digest, and a garbled or cut image is refused with the field named.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "core/machine.h"
#include "core/messages.h"
#include "core/state_bytes.h"
#include "reverse/sim_state.h"

namespace hc11 {
namespace {

struct Rig {
  Machine m;
  SilentMessages messages;
  Board board{m, messages};
  void Visit(StateVisitor& v) {
    m.Visit(v);
    board.Visit(v);
    board.VisitMemo(v);
  }
};

// Each visited field as its name and bytes, to compare two objects field by field.
class FieldList final : public StateVisitor {
 public:
  std::vector<std::pair<std::string, std::string>> fields;
  void Field(const char* n, bool& v) override { Add(n, std::to_string(v)); }
  void Field(const char* n, std::uint8_t& v) override { Add(n, std::to_string(v)); }
  void Field(const char* n, std::uint16_t& v) override { Add(n, std::to_string(v)); }
  void Field(const char* n, std::uint32_t& v) override { Add(n, std::to_string(v)); }
  void Field(const char* n, std::uint64_t& v) override { Add(n, std::to_string(v)); }
  void Field(const char* n, std::string& v) override { Add(n, v); }
  void Bytes(const char* n, std::span<std::uint8_t> b) override { Add(n, std::string(b.begin(), b.end())); }
  void Column(const char* n, std::uint8_t* first, std::size_t count, std::size_t stride) override {
    std::string s;
    for (std::size_t i = 0; i < count; ++i) s.push_back(static_cast<char>(first[i * stride]));
    Add(n, s);
  }
  void Lines(const char* n, std::deque<std::string>& lines) override {
    std::string s;
    for (const std::string& line : lines) s += line + '\n';
    Add(n, s);
  }
  using StateVisitor::Field;

 private:
  void Add(const char* n, std::string value) { fields.emplace_back(n, std::move(value)); }
};

// Gives every visited field a random value (within its bounds); with
// `only` set, changes that one field alone (counting fields from 0).
class Scrambler final : public StateVisitor {
 public:
  explicit Scrambler(std::uint32_t seed, long only = -1) : rng_(seed), only_(only) {}
  long visited = 0;
  void Field(const char*, bool& v) override {
    if (Mine()) v = only_ >= 0 ? !v : (rng_() & 1) != 0;
  }
  void Field(const char*, std::uint8_t& v) override { Num(v); }
  void Field(const char*, std::uint16_t& v) override { Num(v); }
  void Field(const char*, std::uint32_t& v) override { Num(v); }
  void Field(const char*, std::uint64_t& v) override { Num(v); }
  void Field(const char*, std::string& v) override {
    if (Mine()) v = only_ >= 0 ? v + "!" : Text();
  }
  void Bytes(const char*, std::span<std::uint8_t> b) override {
    if (!Mine()) return;
    if (only_ >= 0) {
      b[rng_() % b.size()] ^= 0x10;
      return;
    }
    for (std::uint8_t& x : b) x = static_cast<std::uint8_t>(rng_());
  }
  void Column(const char*, std::uint8_t* first, std::size_t count, std::size_t stride) override {
    if (!Mine()) return;
    if (only_ >= 0) {
      first[(rng_() % count) * stride] ^= 0x01;
      return;
    }
    for (std::size_t i = 0; i < count; ++i) first[i * stride] = static_cast<std::uint8_t>(rng_());
  }
  void Lines(const char*, std::deque<std::string>& lines) override {
    if (!Mine()) return;
    if (only_ < 0) lines.clear();
    for (std::uint32_t n = only_ >= 0 ? 1 : rng_() % 20; n > 0; --n) lines.push_back(Text());
  }
  using StateVisitor::Field;

 protected:
  bool Refuse(const char*) override { return true; }

 private:
  bool Mine() { return only_ < 0 || visited++ == only_; }
  template <class T>
  void Num(T& v) {
    if (Mine()) v = only_ >= 0 ? static_cast<T>(v ^ 1) : static_cast<T>(rng_() | std::uint64_t{rng_()} << 32);
  }
  std::string Text() {
    std::string s(rng_() % 40, ' ');
    for (char& c : s) c = static_cast<char>('a' + rng_() % 26);
    return s;
  }
  std::mt19937 rng_;
  long only_;
};

std::vector<std::pair<std::string, std::string>> Fields(Rig& r) {
  FieldList list;
  r.Visit(list);
  return list.fields;
}

std::vector<std::uint8_t> Image(Rig& r) {
  std::vector<std::uint8_t> bytes;
  VectorSink sink(bytes);
  StateWriter w(sink);
  r.Visit(w);
  return bytes;
}

StateReadError Load(Rig& r, std::span<const std::uint8_t> bytes) {
  SpanSource source(bytes);
  StateReader reader(source);
  r.Visit(reader);
  reader.Finish();
  return reader.Error();
}

// A field added to one of these without a line in its Visit is lost by
// every snapshot and unseen by the digest: this check makes the addition
// visible, whoever makes it.
TEST(StateVisit, EveryClassWithStateHasTheSizeItsVisitCovers) {
  struct Case {
    const char* name;
    std::size_t size, expected;
    const char* visit;
  };
  const Case cases[] = {
      {"Machine", sizeof(Machine), 270784, "Machine::Visit"},
      {"CpuState", sizeof(CpuState), 12, "Machine::Visit"},
      {"OperandLatch", sizeof(OperandLatch), 16, "Machine::Visit"},
      {"Board", sizeof(Board), 5120, "Board::Visit"},
      {"TAff8Segm", sizeof(TAff8Segm), 40, "TAff8Segm::Visit"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.size, c.expected) << "a field was added to " << c.name << ": visit it in " << c.visit
                                  << " (or say there why it is not state) and update this size";
}

TEST(StateVisit, SavedStateLoadsIntoAFreshMachineAndBoardWhole) {
  for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Rig a;
    Scrambler scramble(seed);
    a.Visit(scramble);
    const std::vector<std::uint8_t> bytes = Image(a);

    Rig b;
    const StateReadError error = Load(b, bytes);
    EXPECT_EQ(error.fault, StateFault::None) << error.Text();
    EXPECT_EQ(Fields(a), Fields(b));
    EXPECT_EQ(StateDigest(a.m, &a.board), StateDigest(b.m, &b.board));

    // The snapshot path: the memo stays the record's, the rest comes back.
    auto snap = std::make_unique<SimState>();
    CaptureState(a.m, &a.board, *snap);
    Rig c;
    c.board.Memo1 = a.board.Memo1;
    ASSERT_TRUE(RestoreState(*snap, c.m, &c.board));
    EXPECT_EQ(Fields(a), Fields(c));
    EXPECT_EQ(StateDigest(a.m, &a.board), StateDigest(c.m, &c.board));
  }
}

TEST(StateVisit, ASnapshotWithLongTextsStillComesBackWhole) {
  Rig a;
  a.board.HostRxText.assign(255, 'h');
  a.board.LbOutA.assign(20000, 'o');  // beyond the snapshot's room in place
  auto snap = std::make_unique<SimState>();
  CaptureState(a.m, &a.board, *snap);
  Rig b;
  ASSERT_TRUE(RestoreState(*snap, b.m, &b.board));
  EXPECT_EQ(b.board.LbOutA, a.board.LbOutA);
  EXPECT_EQ(StateDigest(a.m, &a.board), StateDigest(b.m, &b.board));
}

TEST(StateVisit, RestoringKeepsTheBreakpointListsRamBits) {
  Rig a;
  a.m.WriteTagTable[0x0040].tag = TagReturnAddress;
  auto snap = std::make_unique<SimState>();
  CaptureState(a.m, &a.board, *snap);
  a.m.SetRamBreakBits(0x0040, RamBreakWrite);
  a.m.WriteTagTable[0x0040].tag = TagData;
  ASSERT_TRUE(RestoreState(*snap, a.m, &a.board));
  EXPECT_EQ(a.m.WriteTagTable[0x0040].tag, TagReturnAddress);
  EXPECT_EQ(a.m.WriteTagTable[0x0040].ramBreak, RamBreakWrite);
}

TEST(StateVisit, TheDigestChangesWithEachVisitedField) {
  Rig probe;
  Scrambler count(0, std::numeric_limits<long>::max());
  probe.Visit(count);
  ASSERT_GT(count.visited, 50);
  for (long k = 0; k < count.visited; ++k) {
    Rig r;
    Scrambler scramble(7);
    r.Visit(scramble);
    const auto before = Fields(r);
    const std::uint64_t digest = StateDigest(r.m, &r.board);
    Scrambler change(k, k);
    r.Visit(change);
    const auto after = Fields(r);
    ASSERT_EQ(before.size(), after.size());
    std::string changed;
    for (std::size_t i = 0; i < before.size(); ++i)
      if (before[i] != after[i]) changed += before[i].first + " ";
    ASSERT_FALSE(changed.empty()) << "field " << k << " did not change";
    EXPECT_NE(StateDigest(r.m, &r.board), digest) << "the digest misses " << changed;
  }
}

TEST(StateVisit, ACutOrGarbledImageIsRefusedWithItsField) {
  Rig a;
  Scrambler scramble(11);
  a.Visit(scramble);
  a.board.RxIndex = 3;
  const std::vector<std::uint8_t> good = Image(a);

  struct Cut {
    std::size_t length;
    const char* where;
  };
  const Cut cuts[] = {{0, "cpu/A"}, {5, "cpu/Y"}, {20000, "Memory"}, {good.size() - 1, ""}};
  for (const Cut& c : cuts) {
    SCOPED_TRACE("cut at " + std::to_string(c.length));
    Rig b;
    const StateReadError error = Load(b, std::span(good).first(c.length));
    EXPECT_EQ(error.fault, StateFault::Truncated);
    if (*c.where != '\0') {
      EXPECT_EQ(error.where, c.where);
    }
    EXPECT_EQ(error.Text().rfind("truncated at ", 0), 0u) << error.Text();
  }

  std::vector<std::uint8_t> longer = good;
  longer.push_back(0);
  Rig b;
  EXPECT_EQ(Load(b, longer).fault, StateFault::Trailing);

  // A bool byte is found as the one byte two images differ in.
  Rig on, off;
  on.board.Led2Hp = true;
  const auto withOn = Image(on), withOff = Image(off);
  ASSERT_EQ(withOn.size(), withOff.size());
  std::vector<std::uint8_t> garbled = withOn;
  std::size_t diffs = 0;
  for (std::size_t i = 0; i < garbled.size(); ++i)
    if (withOn[i] != withOff[i]) ++diffs, garbled[i] = 2;
  ASSERT_EQ(diffs, 1u);
  const StateReadError bad = Load(b, garbled);
  EXPECT_EQ(bad.fault, StateFault::BadValue);
  EXPECT_EQ(bad.where, "panel/Led2Hp");

  // Indexes a device reads its buffers with are refused beyond them, and reset.
  Rig wild;
  wild.board.RxIndex = 250;
  Rig c;
  c.board.RxIndex = 7;
  const StateReadError range = Load(c, Image(wild));
  EXPECT_EQ(range.fault, StateFault::OutOfRange);
  EXPECT_EQ(range.where, "uart/RxIndex");
  EXPECT_EQ(c.board.RxIndex, 0);
}

TEST(StateVisit, RandomBytesNeverReadPastTheirEnd) {
  std::mt19937 rng(5);
  for (int i = 0; i < 300; ++i) {
    std::vector<std::uint8_t> junk(rng() % 300000);
    for (std::uint8_t& x : junk) x = static_cast<std::uint8_t>(rng());
    Rig r;
    const StateReadError error = Load(r, junk);
    EXPECT_NE(error.fault, StateFault::None);
    EXPECT_FALSE(error.where.empty());
    EXPECT_LE(r.board.I2cCount, static_cast<int>(Board::kFrameSize));
  }
}

}  // namespace
}  // namespace hc11
