#include "recording/recorder.h"

#include <filesystem>

namespace hc11 {

void Recorder::Start() {
  Stop();
  Session& s = controller_.session();
  Board& b = s.board();
  session_ = SessionFile{};
  session_.program = std::filesystem::path(s.ListingBase()).filename().string();
  session_.digest = s.CodeImageDigest();
  session_.clock = controller_.machine().Exact ? SessionClock::Exact : SessionClock::Designed;
  origin_ = controller_.machine().CycleCount;
  Add(SessionInputKind::Signal, b.NiveauSignal());
  Add(SessionInputKind::OcFreq, b.OcFreq());
  Add(SessionInputKind::Oc, b.CbOC() ? 1 : 0);
  b.InputTap = this;
  b.OutputSink = this;
  recording_ = true;
}

SessionFile Recorder::Stop() {
  if (!recording_) return session_;
  Board& b = controller_.session().board();
  if (b.InputTap == this) b.InputTap = nullptr;
  if (b.OutputSink == this) b.OutputSink = nullptr;
  session_.end = Now();
  recording_ = false;
  return session_;
}

void Recorder::Add(SessionInputKind kind, int value, std::span<const std::uint8_t> bytes) {
  session_.inputs.push_back({Now(), kind, value, {bytes.begin(), bytes.end()}});
}

void Recorder::BoardInputGiven(BoardInput input, int value, std::span<const std::uint8_t> bytes) {
  switch (input) {
    case BoardInput::PressKey:
      return Add(SessionInputKind::KeyDown, value);
    case BoardInput::ReleaseKey:
      return Add(SessionInputKind::KeyUp, value);
    case BoardInput::PressOnOff:
      return Add(SessionInputKind::OnOffDown);
    case BoardInput::ReleaseOnOff:
      return Add(SessionInputKind::OnOffUp);
    case BoardInput::SetCbOC:
      return Add(SessionInputKind::Oc, value);
    case BoardInput::SetNiveauSignal:
      // The board keeps the level within 0..255, and so does the file.
      return Add(SessionInputKind::Signal, value < 0 ? 0 : value > 255 ? 255 : value);
    case BoardInput::SetOcFreq:
      return Add(SessionInputKind::OcFreq, value < 0                          ? 0
                                           : value > kSessionHighestFrequency ? kSessionHighestFrequency
                                                                              : value);
    case BoardInput::InjectMessage:
      return Add(SessionInputKind::Serial, 0, bytes.first(std::min(bytes.size(), Board::kRxCapacity)));
    case BoardInput::HostReceive:
      return Add(SessionInputKind::Host, 0, bytes.first(std::min(bytes.size(), Board::kHostRxBlock)));
    case BoardInput::ClearMemo:
      return Add(SessionInputKind::MemoClear);
    case BoardInput::ClickEcran1:
      return Add(SessionInputKind::DisplayClick);
    case BoardInput::PowerCut:
      return Add(SessionInputKind::PowerCut);
    case BoardInput::PowerOn:
      Add(SessionInputKind::PowerOn);
      // The power back resets the machine, whose clock restarts at zero
      // right after this; the session's time goes on from here.
      origin_ -= controller_.machine().CycleCount;
      return;
    case BoardInput::RunStarted:
      return;  // every run command empties the host text: not the user's doing
  }
}

void Recorder::BoardOutputMade(const BoardOutputEvent& e) {
  session_.outputs.push_back({Now(), e.kind, e.value, e.address});
}

}  // namespace hc11
