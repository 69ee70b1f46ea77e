#include "debugger/options.h"

namespace hc11 {

OptionMarks::OptionMarks() {
  for (std::size_t i = 0; i < kOptionItems.size(); ++i) marks_[i] = kOptionItems[i].checkedByDefault;
}

std::optional<std::size_t> OptionMarks::IndexOf(std::string_view component) {
  for (std::size_t i = 0; i < kOptionItems.size(); ++i)
    if (component == kOptionItems[i].component) return i;
  return std::nullopt;
}

bool OptionMarks::Checked(std::string_view component) const {
  const auto i = IndexOf(component);
  return i && marks_[*i];
}

void OptionMarks::Set(std::string_view component, bool on) {
  if (const auto i = IndexOf(component)) marks_[*i] = on;
}

void OptionMarks::CopyToCore(Machine& m, Board& board) const {
  m.HistoryEnabled = Checked("AutTracer");
  board.I2cTrace = Checked("TracerI2c");
  board.SynthTrace = Checked("TracerSynth");
  m.Exact = Checked("ProcesseurExact");
}

}  // namespace hc11
