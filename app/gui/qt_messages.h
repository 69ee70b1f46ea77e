// Message boxes and prompts as Qt dialogs: the window's implementation of the
// one message interface (tests replace it with a recording one).
#pragma once

#include <QWidget>

#include "core/messages.h"

namespace hc11::gui {

class QtMessages final : public Messages {
 public:
  // Dialogs are centred on `parent` once it is set.
  void SetParent(QWidget* parent) { parent_ = parent; }
  // Unattended runs (screenshots): messages go to stderr, prompts take their
  // default, and nothing waits for a click.
  void SetUnattended(bool on) { unattended_ = on; }

  void Show(MsgKind kind, std::string_view caption, std::string_view text) override;
  std::optional<std::string> Prompt(std::string_view title, std::string_view text,
                                    std::string_view defaultValue) override;
  bool Confirm(std::string_view caption, std::string_view text) override;
  std::optional<std::string> ChooseFile(std::string_view title, std::string_view start,
                                        std::string_view filter) override;
  std::optional<std::string> ChooseSaveFile(std::string_view title, std::string_view start,
                                            std::string_view filter) override;

 private:
  std::optional<std::string> FileDialog(std::string_view title, std::string_view start,
                                        std::string_view filter, bool save);
  QWidget* parent_ = nullptr;
  bool unattended_ = false;
};

}  // namespace hc11::gui
