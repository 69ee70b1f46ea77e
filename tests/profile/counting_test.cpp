// Counts, cycles, branches and calls of hand-counted programs. Every step
// costs one count plus one per transfer (taken branch, jump, call, return);
// an interrupt entry costs two more.
#include <gtest/gtest.h>

#include <numeric>

#include "tests/profile/profile_fixture.h"

namespace hc11 {
namespace {

using test::Assemble;
using test::ProfiledProgram;
using test::ProfileFolder;

std::uint64_t ExclusiveSum(const ProfileTable& t) {
  return std::accumulate(t.rows.begin(), t.rows.end(), std::uint64_t{0},
                         [](std::uint64_t s, const FunctionProfile& r) { return s + r.exclusive; });
}

// ldS, ldB: 2; nine passes of decB + taken bne: 27; the last pass: 2; jmp
// past the code: 2 (the run stops on "adr>fin").
constexpr const char* kLoopOfTen = R"(        org     $E000
debprog_
        ldS     #$00FF
        ldB     #10
boucle
        decB
        bne     boucle
        jmp     $F000
)";

TEST(Counting, LoopOfTenCountsEveryLineAndBothBranchWays) {
  const auto dir = ProfileFolder();
  ProfiledProgram p(Assemble(dir, "boucle", kLoopOfTen));
  p.Run();
  ASSERT_EQ(p.m().CycleCount, 33);
  const std::uint16_t loop = p.Address("boucle");
  EXPECT_EQ(p.counters().At(loop).count, 10u);         // decB
  EXPECT_EQ(p.counters().At(loop + 1).count, 10u);     // bne
  EXPECT_EQ(p.counters().At(loop + 1).Cycles(), 19u);  // 9 taken, 1 not
  EXPECT_EQ(p.counters().BranchAt(loop + 1).taken, 9u);
  EXPECT_EQ(p.counters().BranchAt(loop + 1).notTaken, 1u);
  EXPECT_EQ(p.counters().At(loop + 3).count, 1u);  // jmp
  EXPECT_EQ(p.counters().At(p.Address("debprog_")).count, 1u);
  const ProfileTable t = p.table();
  EXPECT_EQ(ExclusiveSum(t), 33u);
  EXPECT_EQ(t.total, 33u);
  EXPECT_EQ(p.Row("debprog_").exclusive, 33u);
  EXPECT_EQ(p.Row("debprog_").calls, 0u);
}

// The branch is taken when B < 4: for B = 3, 2, 1 of 10..1.
constexpr const char* kBranchThreeOfTen = R"(        org     $E000
debprog_
        ldS     #$00FF
        ldB     #10
boucle
        cmpB    #4
        bcs     petit
        incA
petit
        decB
        bne     boucle
        jmp     $F000
)";

TEST(Counting, BranchTakenThreeTimesOfTen) {
  const auto dir = ProfileFolder();
  ProfiledProgram p(Assemble(dir, "branche", kBranchThreeOfTen));
  p.Run();
  const std::uint16_t bcs = p.Address("boucle") + 2;
  EXPECT_EQ(p.counters().BranchAt(bcs).taken, 3u);
  EXPECT_EQ(p.counters().BranchAt(bcs).notTaken, 7u);
  EXPECT_EQ(p.counters().At(bcs + 2).count, 7u);  // incA
  EXPECT_EQ(p.m().cpu.A, 7);
  EXPECT_EQ(ExclusiveSum(p.table()), static_cast<std::uint64_t>(p.m().CycleCount));
}

// Affiche is called from two places; each call runs incA and ret (1 + 2).
constexpr const char* kCallFromTwoPlaces = R"(        org     $E000
debprog_
        ldS     #$00FF
        call    Affiche
        ldB     #1
        callr   Affiche
        jmp     $F000
Affiche
        incA
        ret
)";

TEST(Counting, CallFromTwoPlacesCountsCallsExclusiveAndInclusive) {
  const auto dir = ProfileFolder();
  ProfiledProgram p(Assemble(dir, "appel", kCallFromTwoPlaces));
  p.Run();
  // ldS 1, call 2, ldB 1, callr 2, jmp 2 in debprog_; 2 x (incA 1 + ret 2).
  ASSERT_EQ(p.m().CycleCount, 14);
  const FunctionProfile callee = p.Row("Affiche");
  EXPECT_EQ(callee.calls, 2u);
  EXPECT_EQ(callee.exclusive, 6u);
  EXPECT_EQ(callee.inclusive, 6u);
  const FunctionProfile main = p.Row("debprog_");
  EXPECT_EQ(main.calls, 0u);
  EXPECT_EQ(main.exclusive, 8u);
  EXPECT_EQ(main.inclusive, 14u);                      // it ran from the start, its callees included
  EXPECT_EQ(p.table().rows.front().name, "debprog_");  // most exclusive cycles first
  EXPECT_EQ(p.counters().Depth(), 1u);                 // only the root frame is left
}

// With I clear the 10,001st step enters the handler: a call of "Tic"
// whose cycles include the entry's two.
constexpr const char* kInterrupt = R"(        org     $E000
debprog_
        ldS     #$00FF
        cli
boucle
        jr      boucle
        org     $E100
Tic
        incB
        reti
        org     $FFE8
        dw      Tic
)";

TEST(Counting, InterruptEntryIsACallOfTheHandlerAndCostsItsCycles) {
  const auto dir = ProfileFolder();
  ProfiledProgram p(Assemble(dir, "irq", kInterrupt));
  p.Run(10'004);  // ldS, cli, then 10,001 counted steps; the last one is reti
  const FunctionProfile tic = p.Row("Tic");
  EXPECT_EQ(tic.calls, 1u);
  EXPECT_EQ(tic.exclusive, 2u + 1u + 2u);  // entry, incB, reti
  EXPECT_EQ(tic.inclusive, 5u);
  EXPECT_EQ(p.counters().At(p.Address("Tic")).count, 1u);
  const ProfileTable t = p.table();
  EXPECT_EQ(ExclusiveSum(t), static_cast<std::uint64_t>(p.m().CycleCount));
  EXPECT_EQ(p.Row("debprog_").inclusive, static_cast<std::uint64_t>(p.m().CycleCount));
}

// Stack tricks: Profond drops its own return address and returns straight to
// Haut's caller; Boucle resets the stack and jumps back instead of
// returning, a thousand times. Neither crashes, the shadow stack stays
// bounded and the counts still add up.
constexpr const char* kStackTricks = R"(        org     $E000
debprog_
        ldS     #$00FF
        call    Haut
        ldX     #1000
encore
        call    Perdu
suite
        decX
        bne     encore
        jmp     $F000
Haut
        call    Profond
        incA
        ret
Profond
        popX
        ret
Perdu
        ldS     #$00FF
        jmp     suite
)";

TEST(Counting, ReturnsThatMatchNoFrameNeverCrashAndStayBounded) {
  const auto dir = ProfileFolder();
  ProfiledProgram p(Assemble(dir, "pile", kStackTricks));
  p.Run(100'000);
  EXPECT_EQ(p.m().StopMessage, "adr>fin F000");
  EXPECT_EQ(p.m().cpu.A, 0);  // Haut's incA never ran
  EXPECT_EQ(p.Row("Haut").calls, 1u);
  EXPECT_EQ(p.Row("Profond").calls, 1u);
  // call Haut 2 + call Profond 2 + popX 1 + ret 2: Haut's activation ended
  // with Profond's return.
  EXPECT_EQ(p.Row("Haut").inclusive, 5u);
  EXPECT_EQ(p.Row("Perdu").calls, 1000u);
  EXPECT_LE(p.counters().Depth(), ExecCounters::kMaxFrames);
  EXPECT_EQ(ExclusiveSum(p.table()), static_cast<std::uint64_t>(p.m().CycleCount));
}

// Recursions deeper than the shadow stack holds. Recur calls itself until X
// reaches 0; Pair and Impair call each other. Each activation costs decX 1,
// beq 1 (taken 2 at the bottom), call 2 and ret 2.
constexpr const char* kDeepRecursion = R"(        org     $E000
debprog_
        ldS     #$0FFF
        ldX     #DEPTH
        call    START
        jmp     $F000
Recur
        decX
        beq     @fin
        call    Recur
@fin
        ret
Pair
        decX
        beq     @pfin
        call    Impair
@pfin
        ret
Impair
        decX
        beq     @ifin
        call    Pair
@ifin
        ret
)";

TEST(Counting, RecursionDeeperThanTheShadowStackKeepsInclusiveCyclesExact) {
  struct Case {
    const char* start;
    int depth;
  } cases[] = {{"Recur", 300}, {"Recur", 1000}, {"Pair", 301}, {"Recur", 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.start) + " " + std::to_string(c.depth));
    const auto dir = ProfileFolder();
    std::string source = kDeepRecursion;
    source.replace(source.find("DEPTH"), 5, std::to_string(c.depth));
    source.replace(source.find("START"), 5, c.start);
    ProfiledProgram p(Assemble(dir, "recur", source));
    p.Run(100'000);
    ASSERT_EQ(p.m().StopMessage, "adr>fin F000");
    const std::uint64_t recursion = 6u * static_cast<std::uint64_t>(c.depth - 1) + 5u;
    const std::uint64_t total = recursion + 6u;  // ldS, ldX, call, jmp
    ASSERT_EQ(p.m().CycleCount, static_cast<std::int64_t>(total));
    // The root's time runs from the reset, once.
    EXPECT_EQ(p.Row("debprog_").inclusive, total);
    EXPECT_EQ(p.Row("debprog_").exclusive, 6u);
    if (std::string(c.start) == "Recur") {
      EXPECT_EQ(p.Row("Recur").calls, static_cast<std::uint64_t>(c.depth));
      EXPECT_EQ(p.Row("Recur").exclusive, recursion);
      EXPECT_EQ(p.Row("Recur").inclusive, recursion);  // from the first call to the outermost return
    } else {
      // Pair's outermost activation holds all of it; Impair's starts one call later.
      EXPECT_EQ(p.Row("Pair").inclusive, recursion);
      EXPECT_EQ(p.Row("Impair").inclusive, recursion - 6u);  // inside Pair's first decX, beq, call and ret
      EXPECT_EQ(p.Row("Pair").exclusive + p.Row("Impair").exclusive, recursion);
    }
    EXPECT_EQ(ExclusiveSum(p.table()), total);
    EXPECT_EQ(p.counters().Depth(), 1u);  // only the root's frame is left
  }
}

// tempo is called only from the expansions of attendre: a function of its
// own, not a stretch of the routine before it.
constexpr const char* kCallInAMacro = R"(attendre macro
        ldA     #\1
        call    tempo
        endm
        org     $E000
debprog_
        ldS     #$00FF
        call    Banner
        jmp     $F000
Banner
        incB
        attendre 2
        ret
tempo
        decA
        bne     tempo
        ret
)";

TEST(Counting, RoutineCalledOnlyThroughAMacroIsAFunctionOfItsOwn) {
  const auto dir = ProfileFolder();
  ProfiledProgram p(Assemble(dir, "macro", kCallInAMacro));
  p.Run();
  ASSERT_EQ(p.m().StopMessage, "adr>fin F000");
  const FunctionProfile banner = p.Row("Banner");
  EXPECT_EQ(banner.calls, 1u);
  EXPECT_EQ(banner.exclusive, 6u);  // incB, ldA, call, ret
  EXPECT_EQ(banner.inclusive, 13u);
  const FunctionProfile tempo = p.Row("tempo");
  EXPECT_EQ(tempo.calls, 1u);
  EXPECT_EQ(tempo.exclusive, 7u);  // decA, bne taken, decA, bne, ret
  EXPECT_EQ(tempo.inclusive, 7u);
}

TEST(Counting, InitClearsEveryCountAndOffCountsNothing) {
  const auto dir = ProfileFolder();
  ProfiledProgram p(Assemble(dir, "boucle", kLoopOfTen));
  p.Run();
  ASSERT_GT(p.table().total, 0u);
  p.session->Init(true);
  p.m().cpu.PC = p.m().StartPC;
  EXPECT_EQ(p.table().total, 0u);
  EXPECT_EQ(p.counters().BranchAt(p.Address("boucle") + 1).taken, 0u);
  EXPECT_EQ(p.counters().Depth(), 0u);

  p.session->profiler().Enable(p.m(), false);
  p.Run();
  EXPECT_EQ(p.m().CycleCount, 33);
  EXPECT_EQ(p.table().total, 0u);
}

}  // namespace
}  // namespace hc11
