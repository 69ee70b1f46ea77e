// "Chercher en mémoire" in the dump window: a pattern and an optional range;
// Enter (or the button) finds the first address, F3 the next one, wrapping
// round to the first. The search itself is the model's (debugger/memory_search).
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "debugger/memory_search.h"

namespace hc11::gui {

class MemoryFindBar final : public QWidget {
 public:
  explicit MemoryFindBar(QWidget* parent = nullptr);

  // The bytes of the memory the dump shows now.
  std::function<std::span<const std::uint8_t>()> Memory;
  // Where a match starts, and its length in bytes.
  std::function<void(std::uint16_t address, std::size_t length)> OnFound;
  std::function<void(const std::string&)> OnError;

  void FindFirst();
  // F3: the match after the last one found; the first search when the
  // pattern or the range changed since.
  void FindNext();
  QString Result() const { return result_->text(); }

 private:
  bool Parse();
  void Show(std::optional<std::uint16_t> address, bool wrapped);

  QLineEdit* pattern_;
  QLineEdit* range_;
  QLabel* result_;
  std::optional<MemorySearch> search_;
  QString searchedPattern_, searchedRange_;
  std::optional<std::uint16_t> last_;
};

}  // namespace hc11::gui
