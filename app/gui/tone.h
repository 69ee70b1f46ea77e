// The platform beep: a sine tone of the given frequency and duration through
// Qt Multimedia. Without an audio output (or in a build without Qt
// Multimedia) it is silent; it never blocks the run loop.
#pragma once

#include <QObject>
#include <memory>

namespace hc11::gui {

class Tone {
 public:
  Tone();
  ~Tone();
  Tone(const Tone&) = delete;
  Tone& operator=(const Tone&) = delete;

  void Beep(int frequencyHz, int durationMs);
  // The 16-bit mono samples of a tone (also what the tests check).
  static QByteArray Samples(int frequencyHz, int durationMs, int sampleRate);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace hc11::gui
