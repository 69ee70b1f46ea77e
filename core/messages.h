// The one interface through which every subsystem shows a message box or asks
// the user something. The window shows real dialogs, the CLI prints to stderr
// and tests record what was said, so nothing ever blocks on a dialog.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hc11 {

enum class MsgKind { Error, Warning, Info };

class Messages {
 public:
  virtual ~Messages() = default;
  // A modal message box with the given caption (for example "Erreur").
  virtual void Show(MsgKind kind, std::string_view caption, std::string_view text) = 0;
  // An input prompt (title, text, default); nullopt when the user cancels.
  virtual std::optional<std::string> Prompt(std::string_view title, std::string_view text,
                                            std::string_view defaultValue) {
    (void)title;
    (void)text;
    return std::string(defaultValue);
  }
  // An open-file dialog starting at `start`, offering the files that match
  // `filter` ("Fichier listing (*.lst *.LST)"); nullopt when the user
  // cancels. The chosen name may not exist: the caller checks.
  virtual std::optional<std::string> ChooseFile(std::string_view title, std::string_view start,
                                                std::string_view filter) {
    (void)title;
    (void)start;
    (void)filter;
    return std::nullopt;
  }
  // A save-file dialog: as ChooseFile, for a file about to be written (a new
  // name is the usual answer). Without a dialog of its own, ChooseFile's.
  virtual std::optional<std::string> ChooseSaveFile(std::string_view title, std::string_view start,
                                                    std::string_view filter) {
    return ChooseFile(title, start, filter);
  }
  // A yes/no confirmation.
  virtual bool Confirm(std::string_view caption, std::string_view text) {
    (void)caption;
    (void)text;
    return true;
  }
};

// Swallows everything; for callers that have nobody to tell.
class SilentMessages final : public Messages {
 public:
  void Show(MsgKind, std::string_view, std::string_view) override {}
};

}  // namespace hc11
