// TFDump: sixteen lines of memory in hexadecimal and as characters, from the
// memory image or the EEPROM, inside the main window's MDI area. The lines
// come from the model; the window only asks for them and shows them.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace hc11::gui {

class MemoryFindBar;

class DumpWindow final : public QWidget {
 public:
  // The lines for a memory choice (0 "Ram", 1 "Eprom16kb", 2 "Horloge") and
  // the typed start address; false with `error` for an address that is not
  // hexadecimal or above $FFFF.
  using LineSource = std::function<bool(int choice, const std::string& address,
                                        std::vector<std::string>& lines, std::string& error)>;

  explicit DumpWindow(LineSource source, QWidget* parent = nullptr);

  int Choice() const { return choixDump_->currentIndex(); }
  void SetChoice(int index);
  // Builds the dump ("ok", Enter, typing, and entering the address box).
  // Only "ok" and Enter report a bad address: a message box shown on
  // entering the box would take the focus and give it back, and so open
  // again and again.
  void Build(bool report = true);
  QStringList Lines() const;

  std::function<void(const std::string&)> OnError;
  // After each build; the window marks the bytes changed since the stop
  // before with Highlight (line, column of the two hex digits).
  std::function<void()> OnBuilt;
  void Highlight(const std::vector<std::pair<int, int>>& cells);
  // The start address of the lines shown: the box's text, or the last good
  // one while the box holds a typing slip.
  std::string Address() const { return shown_; }
  // "Chercher en mémoire"; its Memory source is the owner's to set.
  MemoryFindBar& findBar() { return *find_; }
  // Starts the dump at a match and selects its bytes on the first line.
  void ShowFound(std::uint16_t address, std::size_t length);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  LineSource source_;
  QLineEdit* adrDump_;
  QComboBox* choixDump_;
  QPlainTextEdit* memo1_;
  MemoryFindBar* find_;
  std::string shown_ = "0000";
};

}  // namespace hc11::gui
