#include "core/message_text.h"

#include <algorithm>

#include "core/text_util.h"

namespace hc11 {

namespace {

// Bytes in the UTF-8 sequence that `lead` starts; 1 for a stray byte.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t n = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (at + n > text.size()) return 1;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 1;
  return n;
}

constexpr int Rank(MsgKind k) {
  return k == MsgKind::Error ? 2 : k == MsgKind::Warning ? 1 : 0;
}

}  // namespace

std::string QuoteText(std::string_view text, std::size_t maxChars) {
  std::string out;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (chars == maxChars) {
      out += "…";
      break;
    }
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\t') {
      out += "\\t";
      ++i;
    } else if (c < 0x20 || c == 0x7F) {
      out += Format("\\x%2.2X", c);
      ++i;
    } else {
      const std::size_t n = SequenceLength(text, i);
      if (n == 1 && c >= 0x80) {
        out += Format("\\x%2.2X", c);  // not UTF-8: shown, not passed on
      } else {
        out.append(text.substr(i, n));
      }
      i += n;
    }
    ++chars;
  }
  return out;
}

void MessageRelay::Show(MsgKind kind, std::string_view caption, std::string_view text) {
  if (depth_ == 0) {
    out_.Show(kind, caption, text);
    return;
  }
  // The box takes the caption of the first of its gravest messages.
  if (caption_.empty() || Rank(kind) > Rank(kind_)) {
    kind_ = kind;
    caption_ = std::string(caption);
  }
  const std::string line(text);
  if (std::find(lines_.begin(), lines_.end(), line) != lines_.end()) return;
  if (lines_.size() < kMaxLines) {
    lines_.push_back(line);
  } else {
    ++more_;
  }
}

std::optional<std::string> MessageRelay::Prompt(std::string_view title, std::string_view text,
                                                std::string_view defaultValue) {
  Flush();
  return out_.Prompt(title, text, defaultValue);
}

bool MessageRelay::Confirm(std::string_view caption, std::string_view text) {
  Flush();
  return out_.Confirm(caption, text);
}

std::optional<std::string> MessageRelay::ChooseFile(std::string_view title, std::string_view start,
                                                    std::string_view filter) {
  Flush();
  return out_.ChooseFile(title, start, filter);
}

std::optional<std::string> MessageRelay::ChooseSaveFile(std::string_view title, std::string_view start,
                                                        std::string_view filter) {
  Flush();
  return out_.ChooseSaveFile(title, start, filter);
}

void MessageRelay::End() {
  if (depth_ > 0 && --depth_ == 0) Flush();
}

void MessageRelay::Flush() {
  if (lines_.empty()) return;
  std::string text;
  for (const std::string& line : lines_) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  if (more_ > 0) text += Format("\n… et %zu autres messages", more_);
  const MsgKind kind = kind_;
  const std::string caption = caption_;
  lines_.clear();
  caption_.clear();
  more_ = 0;
  kind_ = MsgKind::Info;
  out_.Show(kind, caption, text);
}

}  // namespace hc11
