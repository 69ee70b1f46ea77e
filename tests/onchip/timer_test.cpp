// The timer in exact mode, driven by tiny firmware: output compares at the
// period the firmware programs, overflow and real-time interrupt rates, the
// COP watchdog, priorities and masking.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "core/text_util.h"
#include "tests/onchip/exact_fixture.h"

namespace hc11::test {
namespace {

using TimerTest = ExactTest;

// OC1 every PERIOD timer counts, the handler writing TCNT into a table at
// $40 (its pointer at $3E: the return restores X).
std::string OutputCompareProgram(unsigned period, unsigned prescaler) {
  return Format(
      "        org $E000\n"
      "start   ldS #$00FF\n"
      "        ldA #%u\n"
      "        stA TMSK2\n"
      "        ldX #$0040\n"
      "        stX $3E\n"
      "        ldD TCNT\n"
      "        addD #%u\n"
      "        stD TOC1\n"
      "        ldA #$80\n"
      "        stA TFLG1\n"
      "        stA TMSK1\n"
      "        cli\n"
      "loop    jr loop\n"
      "isr     ldD TCNT\n"
      "        ldX $3E\n"
      "        stD 0,X\n"
      "        incX\n"
      "        incX\n"
      "        stX $3E\n"
      "        ldA #$80\n"
      "        stA TFLG1\n"
      "        ldD TOC1\n"
      "        addD #%u\n"
      "        stD TOC1\n"
      "        reti\n"
      "        org $FFE8\n"
      "        dw isr\n",
      prescaler, period, period);
}

TEST_F(TimerTest, OutputCompareOneInterruptsEveryPeriodAtEachPrescaler) {
  struct Case {
    unsigned period, prescalerBits;
  } const cases[] = {{1000, 0}, {20000, 0}, {300, 1}, {5000, 2}, {40000, 3}, {65535, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Format("period %u, PR %u", c.period, c.prescalerBits));
    Load(OutputCompareProgram(c.period, c.prescalerBits));
    const std::int64_t prescale = std::int64_t{1} << (2 * c.prescalerBits);
    RunUntil(6 * std::int64_t{c.period} * prescale + 2000);
    // The handler's first read of TCNT comes the same few cycles after each
    // compare; at most one instruction of the loop apart.
    const std::int64_t slack = 4 / prescale + 1;
    for (int k = 1; k < 5; ++k) {
      const std::uint16_t gap = static_cast<std::uint16_t>(Word(0x40 + 2 * k) - Word(0x40 + 2 * (k - 1)));
      EXPECT_LE(std::abs(gap - static_cast<std::int64_t>(c.period)), slack) << "interrupt " << k;
    }
  }
}

TEST_F(TimerTest, BreakAtTheHandlerStopsThereWithTheFrameStackedEveryPeriod) {
  constexpr std::int64_t kPeriod = 3000;
  Load(OutputCompareProgram(kPeriod, 0));
  const std::uint16_t isr = Word(0xFFE8);
  machine.tInst[isr] = kBreakStop;
  std::vector<std::int64_t> stops;
  for (int k = 0; k < 4; ++k) {
    ASSERT_EQ(Run(100000), StopCause::Breakpoint);
    EXPECT_EQ(machine.cpu.PC, isr);
    EXPECT_EQ(machine.cpu.SP, 0x00FF - 9) << "the nine-byte frame";
    EXPECT_TRUE(machine.TestFlag(FlagI)) << "the entry masks further interrupts";
    stops.push_back(machine.CycleCount);
  }
  for (std::size_t k = 1; k < stops.size(); ++k) EXPECT_LE(std::abs(stops[k] - stops[k - 1] - kPeriod), 4);
}

// A handler counting its interrupts at $40, for a source enabled by the
// given register writes.
std::string CountingProgram(const std::string& setup, const char* ack, std::uint16_t vector) {
  return Format(
      "        org $E000\n"
      "start   ldS #$00FF\n"
      "        clr $40\n"
      "%s"
      "        cli\n"
      "loop    jr loop\n"
      "isr     inc $40\n"
      "        ldA #%s\n"
      "        stA TFLG2\n"
      "        reti\n"
      "        org $%4.4X\n"
      "        dw isr\n",
      setup.c_str(), ack, vector);
}

TEST_F(TimerTest, OverflowAndRealTimeInterruptsComeAtTheirRates) {
  struct Case {
    const char* name;
    std::string setup;
    const char* ack;
    std::uint16_t vector;
    std::int64_t period;
  } const cases[] = {
      {"TOF, prescaler 1", "        ldA #$80\n        stA TMSK2\n", "$80", 0xFFDE, 65536},
      {"TOF, prescaler 4", "        ldA #$81\n        stA TMSK2\n", "$80", 0xFFDE, 4 * 65536},
      {"RTI rate 0", "        ldA #$40\n        stA TMSK2\n", "$40", 0xFFF0, 8192},
      {"RTI rate 2", "        ldA #2\n        stA PACTL\n        ldA #$40\n        stA TMSK2\n", "$40",
       0xFFF0, 4 * 8192},
      {"RTI rate 3", "        ldA #3\n        stA PACTL\n        ldA #$40\n        stA TMSK2\n", "$40",
       0xFFF0, 8 * 8192},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load(CountingProgram(c.setup, c.ack, c.vector));
    const std::int64_t span = 10 * c.period + c.period / 2;
    RunUntil(span);
    EXPECT_EQ(Byte(0x40), 10);
  }
}

TEST_F(TimerTest, NothingIsEnteredEveryTenThousandStepsInExactMode) {
  // The designed mode's periodic interrupt goes through the OC1 vector: with
  // the compare never enabled, exact mode never enters it.
  Load(CountingProgram("", "$00", 0xFFE8));
  Run(50000);
  EXPECT_EQ(Byte(0x40), 0);
  machine.Exact = false;
  machine.ResetMachine();
  machine.TimerVector = Word(0xFFE8);
  Run(50000);
  EXPECT_GE(Byte(0x40), 4) << "the designed mode keeps its periodic interrupt";
}

TEST_F(TimerTest, MaskedSourcesWaitForTheIBitAndComeInTheDefaultOrder) {
  // OC2 and OC1 both due long before the cli (TCNT passes $0100 in the
  // wait loop); OC1 has the higher priority unless HPRIO promotes OC2
  // (PSEL 1100).
  for (const bool promote : {false, true}) {
    SCOPED_TRACE(promote ? "OC2 promoted" : "default order");
    Load(
        Format("        org $E000\n"
               "start   ldS #$00FF\n"
               "        ldX #$0040\n"
               "        stX $3E\n"
               "        ldA #%s\n"
               "        stA HPRIO\n"
               "        ldD #$0100\n"
               "        stD TOC1\n"
               "        stD TOC2\n"
               "        ldA #$C0\n"
               "        stA TMSK1\n"
               "        ldB #200\n"
               "wait    decB\n"
               "        bne wait\n"
               "        ldA $40\n"
               "        stA $50\n"
               "        cli\n"
               "loop    jr loop\n"
               "oc1     ldA #1\n"
               "        ldX $3E\n"
               "        stA 0,X\n"
               "        incX\n"
               "        stX $3E\n"
               "        ldA #$80\n"
               "        stA TFLG1\n"
               "        reti\n"
               "oc2     ldA #2\n"
               "        ldX $3E\n"
               "        stA 0,X\n"
               "        incX\n"
               "        stX $3E\n"
               "        ldA #$40\n"
               "        stA TFLG1\n"
               "        reti\n"
               "        org $FFE6\n"
               "        dw oc2,oc1\n",
               promote ? "$0C" : "$06"));
    Run(2000);
    EXPECT_EQ(Byte(0x50), 0) << "nothing entered while I was set";
    EXPECT_EQ(Byte(0x40), promote ? 2 : 1);
    EXPECT_EQ(Byte(0x41), promote ? 1 : 2);
    EXPECT_EQ(Byte(0x42), 0) << "each source served once";
  }
}

// OC1's flag is set while I is set; whatever clears I, the handler comes
// before the next instruction (`inc $60`), as the chip takes it.
TEST_F(TimerTest, AWaitingInterruptIsTakenRightAfterWhateverClearsI) {
  struct Case {
    const char* name;
    const char* unmask;  // assembled before `after`
    bool byHost;         // the debugger clears I between two steps
  };
  const Case cases[] = {
      {"cli", "        cli\n", false},
      {"ei", "        ei\n", false},
      {"tAP", "        clrA\n        tAP\n", false},
      {"reti",
       "        ldX #after\n        pushX\n        pushY\n        pushX\n        pushA\n"
       "        pushB\n        clrA\n        pushA\n        reti\n",
       false},
      {"register edit", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load(
        Format("        org $E000\n"
               "start   ldS #$00FF\n"
               "        ldD #$0100\n"
               "        stD TOC1\n"
               "        ldA #$80\n"
               "        stA TMSK1\n"
               "        ldB #200\n"
               "wait    decB\n"
               "        bne wait\n"
               "%s"
               "after   inc $60\n"
               "loop    jr loop\n"
               "isr     ldA $60\n"
               "        stA $61\n"
               "        ldA #1\n"
               "        stA $62\n"
               "hold    jr hold\n"
               "        org $FFE8\n"
               "        dw isr\n",
               c.unmask));
    if (c.byHost) {
      // I stays set from the reset: the loop runs and nothing is entered.
      Run(700);
      ASSERT_EQ(Byte(0x62), 0);
      machine.cpu.CC = static_cast<std::uint8_t>(machine.cpu.CC & ~FlagI);
      const std::uint16_t sp = machine.cpu.SP;
      Run(1);
      EXPECT_EQ(machine.cpu.SP, sp - 9) << "the next step enters the handler";
      continue;
    }
    Run(700);
    EXPECT_EQ(Byte(0x62), 1) << "the handler was entered";
    EXPECT_EQ(Byte(0x61), 0) << "nothing ran between the unmasking and the entry";
  }
}

TEST_F(TimerTest, TheWatchdogResetsAFirmwareThatStopsServicingIt) {
  // CONFIG with NOCOP clear turns the COP on; OPTION's CR1:0 sets its rate.
  struct Case {
    const char* name;
    bool enable;
    bool service;
    unsigned rate;
  } const cases[] = {
      {"off by default", false, false, 0},
      {"on, not serviced", true, false, 0},
      {"on, serviced", true, true, 0},
      {"on at rate 1, not serviced", true, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load(
        Format("        org $E000\n"
               "start   ldS #$00FF\n"
               "        inc $40\n"
               "        ldA #%u\n"
               "        stA OPTION\n"
               "        ldA #%s\n"
               "        stA CONFIG\n"
               "loop    %s\n"
               "        jr loop\n"
               "service ldA #$55\n"
               "        stA COPRST\n"
               "        ldA #$AA\n"
               "        stA COPRST\n"
               "        ret\n"
               "        org $FFFA\n"
               "        dw start\n",
               c.rate, c.enable ? "$08" : "$0C", c.service ? "call service" : "ldA #0"));
    const std::int64_t timeout = std::int64_t{32768} << (2 * c.rate);
    RunUntil(timeout - 200);
    EXPECT_EQ(Byte(0x40), 1) << "no reset before the timeout";
    RunUntil(3 * timeout + 100);
    const bool resets = c.enable && !c.service;
    EXPECT_EQ(Byte(0x40), resets ? 4 : 1);
  }
}

}  // namespace
}  // namespace hc11::test
