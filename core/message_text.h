// Messages built from file or user text: a quoted piece is kept short and
// printable, and the problems of one operation reach the user as one message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"

namespace hc11 {

inline constexpr std::size_t kQuoteChars = 200;

// `text` fit for a message: control bytes written as "\xNN" (tab as "\t"),
// and, past `maxChars` characters, cut and ended by "…". A UTF-8 sequence is
// never split.
std::string QuoteText(std::string_view text, std::size_t maxChars = kQuoteChars);

// Forwards to another Messages, except between Begin() and End(): then the
// texts are collected (each distinct text once) and End() shows them as one
// message under the first caption, an error if any of them was one. Prompts
// and confirmations first show what was collected, then go straight through.
class MessageRelay final : public Messages {
 public:
  explicit MessageRelay(Messages& out) : out_(out) {}

  void Show(MsgKind kind, std::string_view caption, std::string_view text) override;
  std::optional<std::string> Prompt(std::string_view title, std::string_view text,
                                    std::string_view defaultValue) override;
  bool Confirm(std::string_view caption, std::string_view text) override;
  std::optional<std::string> ChooseFile(std::string_view title, std::string_view start,
                                        std::string_view filter) override;
  std::optional<std::string> ChooseSaveFile(std::string_view title, std::string_view start,
                                            std::string_view filter) override;

  // Batches nest; the outermost End() shows the batch.
  void Begin() { ++depth_; }
  void End();

  // At most this many lines are listed; the rest are counted.
  static constexpr std::size_t kMaxLines = 20;

 private:
  void Flush();

  Messages& out_;
  int depth_ = 0;
  MsgKind kind_ = MsgKind::Info;
  std::string caption_;
  std::vector<std::string> lines_;
  std::size_t more_ = 0;
};

// Collects the messages of one scope on a relay.
class MessageBatch {
 public:
  explicit MessageBatch(MessageRelay& relay) : relay_(relay) { relay_.Begin(); }
  ~MessageBatch() { relay_.End(); }
  MessageBatch(const MessageBatch&) = delete;
  MessageBatch& operator=(const MessageBatch&) = delete;

 private:
  MessageRelay& relay_;
};

}  // namespace hc11
