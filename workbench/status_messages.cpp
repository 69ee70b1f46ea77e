#include "workbench/status_messages.h"

#include "workbench/status_text.h"

namespace hc11 {

namespace {

constexpr const char* kNoPromptDuringRun = "Saisie impossible pendant l'exécution: arrêter d'abord (F2)";

}  // namespace

void StatusMessages::Show(MsgKind kind, std::string_view caption, std::string_view text) {
  if (kind == MsgKind::Error) ++errors_;
  const std::string line =
      kind == MsgKind::Error ? ErrorStatus(text) : std::string(caption) + ": " + std::string(text);
  if (IsRunning()) {
    Say(line);
    return;
  }
  if (kind == MsgKind::Error) Say(line);
  modal_.Show(kind, caption, text);
}

std::optional<std::string> StatusMessages::Prompt(std::string_view title, std::string_view text,
                                                  std::string_view defaultValue) {
  if (IsRunning()) {
    Say(kNoPromptDuringRun);
    return std::nullopt;
  }
  return modal_.Prompt(title, text, defaultValue);
}

bool StatusMessages::Confirm(std::string_view caption, std::string_view text) {
  if (IsRunning()) {
    Say(kNoPromptDuringRun);
    return false;
  }
  return modal_.Confirm(caption, text);
}

std::optional<std::string> StatusMessages::ChooseFile(std::string_view title, std::string_view start,
                                                      std::string_view filter) {
  if (IsRunning()) {
    Say(kNoPromptDuringRun);
    return std::nullopt;
  }
  return modal_.ChooseFile(title, start, filter);
}

std::optional<std::string> StatusMessages::ChooseSaveFile(std::string_view title, std::string_view start,
                                                          std::string_view filter) {
  if (IsRunning()) {
    Say(kNoPromptDuringRun);
    return std::nullopt;
  }
  return modal_.ChooseSaveFile(title, start, filter);
}

}  // namespace hc11
