#include "app/gui/dump_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/gui/gui_fonts.h"
#include "app/gui/memory_find_bar.h"
#include "core/text_util.h"
#include "flowchart/paint/flow_font.h"

namespace hc11::gui {

DumpWindow::DumpWindow(LineSource source, QWidget* parent) : QWidget(parent), source_(std::move(source)) {
  setObjectName("FDump");
  setWindowTitle("Dump");
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  adrDump_ = new QLineEdit("0000");
  adrDump_->setObjectName("AdrDump");
  adrDump_->setMaximumWidth(80);
  adrDump_->installEventFilter(this);
  auto* ok = new QPushButton("ok");
  ok->setObjectName("Ok");
  choixDump_ = new QComboBox;
  choixDump_->setObjectName("ChoixDump");
  choixDump_->addItems({"Ram", "Eprom16kb", "Horloge"});
  row->addWidget(adrDump_);
  row->addWidget(ok);
  row->addWidget(choixDump_);
  row->addStretch();
  layout->addLayout(row);
  find_ = new MemoryFindBar;
  find_->OnFound = [this](std::uint16_t address, std::size_t length) { ShowFound(address, length); };
  find_->OnError = [this](const std::string& error) {
    if (OnError) OnError(error);
  };
  layout->addWidget(find_);
  memo1_ = new QPlainTextEdit;
  memo1_->setObjectName("Memo1");
  memo1_->setReadOnly(true);
  memo1_->setFont(CodeFont());
  memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(memo1_);
  connect(ok, &QPushButton::clicked, this, [this] { Build(); });
  connect(adrDump_, &QLineEdit::returnPressed, this, [this] { Build(); });
  connect(adrDump_, &QLineEdit::textEdited, this, [this] { Build(false); });
  connect(choixDump_, &QComboBox::currentIndexChanged, this, [this] { Build(false); });
  resize(560, 300);
}

void DumpWindow::SetChoice(int index) {
  choixDump_->setCurrentIndex(index >= 0 && index < choixDump_->count() ? index : 0);
}

void DumpWindow::Build(bool report) {
  std::vector<std::string> lines;
  std::string error;
  const std::string typed = adrDump_->text().toStdString();
  if (source_ && source_(Choice(), typed, lines, error)) {
    shown_ = typed;
    adrDump_->setStyleSheet({});
    adrDump_->setToolTip({});
  } else {
    if (report && OnError && !error.empty()) OnError(error);
    // A typing slip must not blank the dump: the last good address stays
    // shown (and is the one later rebuilds use) until the box is fixed.
    adrDump_->setStyleSheet("background: #ffd0d0");
    adrDump_->setToolTip(ToQString(error));
    lines.clear();
    if (!source_ || !source_(Choice(), shown_, lines, error)) {
      memo1_->clear();
      return;
    }
  }
  QString text;
  for (const std::string& line : lines) {
    // Control bytes would break the memo's lines; they show as dots.
    QString shown = ToQString(line);
    for (QChar& c : shown)
      if (c.unicode() < 32) c = QChar('.');
    text += shown + '\n';
  }
  text.chop(1);
  memo1_->setPlainText(text);
  if (OnBuilt) OnBuilt();
}

void DumpWindow::Highlight(const std::vector<std::pair<int, int>>& cells) {
  QList<QTextEdit::ExtraSelection> marks;
  QTextCharFormat changed;
  changed.setForeground(Qt::red);
  changed.setFontWeight(QFont::Bold);
  for (const auto& [line, column] : cells) {
    const QTextBlock block = memo1_->document()->findBlockByNumber(line);
    if (!block.isValid() || column + 2 > block.length()) continue;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + column);
    cursor.setPosition(block.position() + column + 2, QTextCursor::KeepAnchor);
    marks.append({cursor, changed});
  }
  memo1_->setExtraSelections(marks);
}

void DumpWindow::ShowFound(std::uint16_t address, std::size_t length) {
  adrDump_->setText(QString::fromStdString(Format("%4.4X", address)));
  Build(false);
  // The line reads "aaaa  " then " XX" per byte: the match's digits from column 7.
  const QTextBlock first = memo1_->document()->firstBlock();
  const int bytes = static_cast<int>(std::min<std::size_t>(length, 16));
  if (!first.isValid() || first.length() < 6 + 3 * bytes) return;
  QTextCursor cursor(first);
  cursor.setPosition(first.position() + 7);
  cursor.setPosition(first.position() + 6 + 3 * bytes, QTextCursor::KeepAnchor);
  memo1_->setTextCursor(cursor);
}

QStringList DumpWindow::Lines() const {
  return memo1_->toPlainText().split('\n');
}

// F3 reaches here from whichever of the window's fields has the focus: none
// of them takes it.
void DumpWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F3 && event->modifiers() == Qt::NoModifier) {
    find_->FindNext();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool DumpWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == adrDump_ && event->type() == QEvent::FocusIn) Build(false);
  return QWidget::eventFilter(watched, event);
}

}  // namespace hc11::gui
