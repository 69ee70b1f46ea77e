// The window's F9 path with a firmware that transmits on the serial line in a
// loop, against the headless run of the same program: the board panel's
// memo must not slow the window down as it fills (target: at least 90% of
// headless). Each round runs each side twice, so the second run starts on a
// full memo; headless and window rounds alternate.
//
//   build/bench/hc11flow-chatty-bench [STEPS]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "bench/window_and_headless.h"
#include "tools/lstgen/generate.h"

namespace {

constexpr int kRounds = 5;

// A counter sent on the serial line, with one compare per pass so the loop
// does a little besides transmitting.
constexpr const char* kChatty = R"(
        org     $E000
debprog_
        ldS     #$00FF
        clrA
envoi
        incA
        stA     $102F
        cmpA    #$FF
        bne     envoi
        jr      envoi

        org     $FFFE
        dw      debprog_
        end
)";

std::string Generate(const QTemporaryDir& dir) {
  const std::string source = dir.filePath("chatty.asm").toStdString();
  std::ofstream(source) << kChatty;
  const std::string base = dir.filePath("chatty").toStdString();
  std::ostringstream messages;
  if (!hc11::lstgen::GenerateFiles(source, base, messages)) {
    std::fprintf(stderr, "%s", messages.str().c_str());
    std::exit(1);
  }
  return base;
}

// Steps per second of two runs in a row (the second starts on a full memo).
template <typename Run>
double Rate(std::uint64_t steps, Run run) {
  QElapsedTimer t;
  t.start();
  run();
  run();
  return static_cast<double>(2 * steps) * 1e9 / static_cast<double>(t.nsecsElapsed());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::uint64_t steps = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10'000'000;
  QTemporaryDir dir;
  const std::string program = Generate(dir);

  hc11::bench::WindowAndHeadless both(program, dir);
  auto runHeadless = [&] { both.RunHeadless(steps); };
  auto runWindow = [&] { both.RunWindow(steps); };

  // Rounds alternate, so a busy machine slows both sides alike; best of each.
  double headlessRate = 0, windowRate = 0;
  for (int i = 0; i < kRounds; ++i) {
    headlessRate = std::max(headlessRate, Rate(steps, runHeadless));
    windowRate = std::max(windowRate, Rate(steps, runWindow));
  }

  const hc11::Board& board = both.window().session().board();
  std::printf("memo lines: %zu (%llu sent)\n", board.Memo1.size(),
              static_cast<unsigned long long>(board.MemoAdded));
  std::printf("headless: %.1f Msteps/s\n", headlessRate / 1e6);
  std::printf("window:   %.1f Msteps/s (%.1f%% of headless)\n", windowRate / 1e6,
              100 * windowRate / headlessRate);
  return 0;
}
