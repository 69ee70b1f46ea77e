// The window's message interface while a program runs: nothing modal may
// open then (the run loop is inside the command that started it), so a
// message goes to the status line and a prompt is cancelled. When idle,
// messages go to the real interface, and errors are echoed to the status
// line so that the reason stays visible after the box is closed.
#pragma once

#include <functional>
#include <string>

#include "core/messages.h"

namespace hc11 {

class StatusMessages final : public Messages {
 public:
  explicit StatusMessages(Messages& modal) : modal_(modal) {}

  std::function<bool()> Running;
  std::function<void(const std::string&)> Status;

  void Show(MsgKind kind, std::string_view caption, std::string_view text) override;
  std::optional<std::string> Prompt(std::string_view title, std::string_view text,
                                    std::string_view defaultValue) override;
  bool Confirm(std::string_view caption, std::string_view text) override;
  std::optional<std::string> ChooseFile(std::string_view title, std::string_view start,
                                        std::string_view filter) override;
  std::optional<std::string> ChooseSaveFile(std::string_view title, std::string_view start,
                                            std::string_view filter) override;

  // Counts the errors reported, so that a command's success text does not
  // cover the error it raised.
  int Errors() const { return errors_; }

 private:
  bool IsRunning() const { return Running && Running(); }
  void Say(const std::string& text) {
    if (Status) Status(text);
  }

  Messages& modal_;
  int errors_ = 0;
};

}  // namespace hc11
