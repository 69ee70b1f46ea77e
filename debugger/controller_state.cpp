// The controller's state files and the board's power.
#include <filesystem>
#include <string>

#include "core/file_write.h"
#include "debugger/controller.h"
#include "debugger/whole_file.h"

namespace hc11 {

namespace {
// A state is some 200 KiB; a file far beyond that is not one, and is not read whole.
constexpr std::uintmax_t kLargestStateFile = 64u << 20;
}  // namespace

StateFileResult Controller::SaveState(const std::string& path) {
  const std::vector<std::uint8_t> bytes =
      EncodeState(session_->machine(), session_->board(), session_->CodeImageDigest());
  std::string error;
  if (!WriteFileWhole(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      error))
    return {StateFileError::Write, StateFileMessage(StateFileError::Write, path, error)};
  return {};
}

StateFileResult Controller::LoadState(const std::string& path) {
  if (Running()) return {StateFileError::Running, StateFileMessage(StateFileError::Running, path)};
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (!ec && size > kLargestStateFile)
    return {StateFileError::NotStateFile, StateFileMessage(StateFileError::NotStateFile, path)};
  std::string content, reason;
  bool missing = false;
  if (!ReadWhole(path, content, missing, &reason) || missing) {
    if (missing) reason = "fichier introuvable";
    return {StateFileError::Open, StateFileMessage(StateFileError::Open, path, reason)};
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(content.data());
  StateFileResult r = DecodeState(std::span(data, content.size()), session_->CodeImageDigest(),
                                  session_->machine(), session_->board(), path);
  if (!r.ok()) return r;
  session_->timeTravel().Clear();
  Notify(kChangeAfterRun & ~ChangeRunState);
  return r;
}

void Controller::CutPower() {
  powerCutPending_ = false;
  session_->board().PowerCut();
  // The record cannot replay across a cut it never saw.
  session_->timeTravel().Clear();
}

void Controller::PowerCut() {
  if (Running()) {
    powerCutPending_ = true;
    Stop();
    return;
  }
  if (PoweredOff()) return;
  CutPower();
  Notify(ChangeRegisters | ChangeMemory | ChangeBoard | ChangeReach);
}

void Controller::PowerOn() {
  if (Running() || !PoweredOff()) return;
  session_->board().PowerOn();
  session_->timeTravel().Clear();
  Machine& m = machine();
  m.RunMode = kModeStop;
  m.StepOverArmed = false;
  last_ = StopEvent{};
  Notify(ChangeRegisters | ChangeMemory | ChangeBoard | ChangeReach);
}

}  // namespace hc11
