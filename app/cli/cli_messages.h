// Message boxes of the CLI: each becomes one "caption: text" line on the
// error stream, and the command carries on.
#pragma once

#include <ostream>
#include <string_view>

#include "core/messages.h"

namespace hc11::cli {

class CliMessages final : public Messages {
 public:
  explicit CliMessages(std::ostream& err) : err_(err) {}
  void Show(MsgKind, std::string_view caption, std::string_view text) override {
    err_ << caption << ": " << text << '\n';
  }

 private:
  std::ostream& err_;
};

}  // namespace hc11::cli
