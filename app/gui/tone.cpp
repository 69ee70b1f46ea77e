#include "app/gui/tone.h"

#include <QBuffer>
#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#ifdef HC11_WITH_AUDIO
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#endif

namespace hc11::gui {

namespace {
constexpr int kSampleRate = 22050;
constexpr int kMaxDurationMs = 5000;  // a firmware's tone register cannot stall the host
}  // namespace

QByteArray Tone::Samples(int frequencyHz, int durationMs, int sampleRate) {
  const int ms = std::clamp(durationMs, 0, kMaxDurationMs);
  const int count = static_cast<int>(static_cast<long long>(sampleRate) * ms / 1000);
  QByteArray data(count * 2, '\0');
  if (frequencyHz <= 0 || frequencyHz >= sampleRate / 2) return data;  // silence
  auto* out = reinterpret_cast<std::int16_t*>(data.data());
  const double step = 2 * std::numbers::pi * frequencyHz / sampleRate;
  for (int i = 0; i < count; ++i) out[i] = static_cast<std::int16_t>(8000 * std::sin(step * i));
  return data;
}

#ifdef HC11_WITH_AUDIO

struct Tone::State {
  QAudioDevice device = QMediaDevices::defaultAudioOutput();
  QAudioFormat format;
  std::unique_ptr<QAudioSink> sink;
  QByteArray samples;
  QBuffer buffer;
};

Tone::Tone() : state_(std::make_unique<State>()) {
  state_->format.setSampleRate(kSampleRate);
  state_->format.setChannelCount(1);
  state_->format.setSampleFormat(QAudioFormat::Int16);
}

Tone::~Tone() {
  if (state_->sink) state_->sink->stop();
}

void Tone::Beep(int frequencyHz, int durationMs) {
  State& s = *state_;
  if (s.device.isNull() || !s.device.isFormatSupported(s.format)) return;
  if (s.sink) s.sink->stop();
  s.buffer.close();
  s.samples = Samples(frequencyHz, durationMs, kSampleRate);
  s.buffer.setBuffer(&s.samples);
  s.buffer.open(QIODevice::ReadOnly);
  s.sink = std::make_unique<QAudioSink>(s.device, s.format);
  s.sink->start(&s.buffer);
}

#else

struct Tone::State {};
Tone::Tone() : state_(std::make_unique<State>()) {}
Tone::~Tone() = default;
void Tone::Beep(int, int) {}

#endif

}  // namespace hc11::gui
