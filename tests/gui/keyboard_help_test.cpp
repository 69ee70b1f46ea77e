// What a new user met in the first week: the value hint of an offset
// operand, the top bar's register prompt, the "Var" pane's bytes, the PC line
// in the source pane, the window without a mouse (Tab between the panes, the
// focus frame, F5, Alt letters), the coverage exports of "Profil", "Aide"
// and "Quitter".
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <algorithm>
#include <set>

#include "app/gui/flow_view.h"
#include "app/gui/pane_focus.h"
#include "app/gui/profile_window.h"
#include "app/gui/registers_pane.h"
#include "app/gui/source_pane.h"
#include "app/gui/workbench.h"
#include "flowchart/view/interaction.h"
#include "listing/symbols.h"
#include "tests/gui/gui_fixture.h"
#include "workbench/keyboard_access.h"

namespace hc11::test {
namespace {

class NewUserTest : public GuiTest {
 protected:
  gui::MainWindow& OpenDemo() {
    gui::MainWindow& w = Open(CopyExample("demo"));
    source = &w.workbench().sourcePane();
    return w;
  }
  const SourceMap& Map() { return window->workbench().sourceMap(); }
  std::size_t LineOf(std::uint16_t address) {
    const auto line = Map().LineOfAddress(address);
    EXPECT_TRUE(line.has_value()) << std::hex << address;
    return line.value_or(0);
  }
  // The first source line holding `text`.
  std::size_t LineWith(const std::string& text) {
    for (std::size_t i = 0; i < Map().Size(); ++i)
      if (Map().Lines()[i].find(text) != std::string::npos) return i;
    ADD_FAILURE() << text;
    return 0;
  }
  void ClickSource(std::size_t line) {
    QListWidgetItem* item = source->item(static_cast<int>(line));
    source->scrollToItem(item);
    QTest::mouseClick(source->viewport(), Qt::LeftButton, {},
                      QPoint(80, source->visualItemRect(item).center().y()));
  }
  bool InView(std::size_t line) {
    const QRect r = source->visualItemRect(source->item(static_cast<int>(line)));
    return source->viewport()->rect().contains(r);
  }
  // The margin's program counter arrow: navy in the middle of the row's icon.
  bool HasPcMark(std::size_t line) {
    const QImage icon = source->item(static_cast<int>(line))->icon().pixmap(10, 10).toImage();
    return icon.pixelColor(4, 5) == QColor(0, 0, 0x80);
  }
  std::uint16_t Symbol(const char* name) {
    const auto a = FindSymbol(window->session().listing().Symbols, name, 'I');
    EXPECT_TRUE(a.has_value()) << name;
    return a.value_or(0);
  }
  QString Status() { return window->statusBar()->currentMessage(); }
  void Activate() {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  QWidget* Focus() { return QApplication::focusWidget(); }
  void Key(int key, Qt::KeyboardModifiers mods = {}) {
    QWidget* to = Focus() != nullptr ? Focus() : window.get();
    QTest::keyClick(to, static_cast<Qt::Key>(key), mods);
  }

  gui::SourcePane* source = nullptr;
};

// "A = adval+5" hints the byte at adval+5, not adval.
TEST_F(NewUserTest, ValueHintOfAnOffsetOperand) {
  gui::MainWindow& w = OpenDemo();
  const std::uint16_t adval = Symbol("adval");
  w.session().machine().Memory[adval + 5] = 0x5A;
  const std::uint16_t line = 0xE0B2;  // ldA adval+5
  w.ShowSourceAt(line);
  const Flowchart& sheet = w.flowPane().Sheet();
  const AddressLine at = FindAddressLine(sheet, line);
  ASSERT_NE(at.box, 0);
  const TRectangle& b = sheet.Boxes[at.box];
  const int row = b.Haut / static_cast<int>(b.Lignes.size());
  w.HoverAt(b.Rect.Left + b.LargLabel + 4, b.Rect.Top + at.line * row + row / 2);
  const QString hint = Label("Label1");
  const QString piece = QString::asprintf("adval+5 [%4.4x]=$5a=90", adval + 5);
  EXPECT_TRUE(hint.contains(piece)) << hint.toStdString();
  EXPECT_FALSE(hint.contains(QString::asprintf("adval [%4.4x]", adval))) << hint.toStdString();
  ASSERT_TRUE(w.Hover());
  EXPECT_EQ(w.Hover()->address, adval + 5);
}

// The top bar's prompt refuses what the "Registres" pane refuses, with the
// same reason, and leaves the register as it was.
TEST_F(NewUserTest, RegisterPromptRefusesBadAnswers) {
  const struct {
    const char* label;
    const char* answer;
    const char* shown;  // the label afterwards
    const char* error;  // part of the message, none when accepted
  } cases[] = {
      {"LabelA", "1234", "A=00", "A: $1234 hors limites (0 à $FF)"},
      {"LabelA", "ZZ", "A=00", "A: '$ZZ' n'est pas une valeur hexadécimale valide"},
      {"LabelA", "$5C", "A=5C", nullptr},
      {"LabelX", "12345", "X=0000", "X: $12345 hors limites (0 à $FFFF)"},
      {"LabelPC", "1000", "PC=1000", nullptr},
  };
  for (const auto& c : cases) {
    gui::MainWindow& w = Open(CopyExample("loop"));
    w.session().machine().cpu.A = 0;
    w.session().machine().cpu.X = 0;
    w.ShowRegisters();
    messages.shown.clear();
    messages.answer = c.answer;
    QTest::mouseClick(window->findChild<QLabel*>(c.label), Qt::LeftButton);
    EXPECT_EQ(Label(c.label), c.shown) << c.answer;
    if (c.error == nullptr) {
      EXPECT_TRUE(messages.shown.empty()) << c.answer;
      continue;
    }
    ASSERT_EQ(messages.shown.size(), 1u) << c.answer;
    EXPECT_EQ(messages.shown[0].caption, "Erreur");
    EXPECT_EQ(messages.shown[0].text, c.error);
  }
}

// The "Var" pane shows the bytes of now: when it is chosen and after a stop.
TEST_F(NewUserTest, VarPaneShowsTheMemoryBytes) {
  gui::MainWindow& w = OpenDemo();
  const std::uint16_t key = Symbol("key");
  auto keyLine = [&]() -> QString {
    QListWidget* list = w.findChild<QListWidget*>("ListSymbI");
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text().startsWith("key ")) return list->item(i)->text();
    return {};
  };
  w.session().machine().Memory[key] = 0xFF;
  QTest::mouseClick(w.findChild<QRadioButton*>("RBVar"), Qt::LeftButton);
  EXPECT_TRUE(keyLine().endsWith(QString::asprintf("%4.4x 00ff", key))) << keyLine().toStdString();
  w.session().machine().Memory[key] = 0x7E;
  Trigger("Step7");
  EXPECT_EQ(w.session().machine().Memory[key], 0x7E);
  EXPECT_TRUE(keyLine().endsWith("007e")) << keyLine().toStdString();
}

// After a stop the PC's line is in view whatever line was chosen before,
// with its arrow in the margin, also when it is the selected line.
TEST_F(NewUserTest, SourcePaneBringsThePcLineBackAfterEveryStop) {
  gui::MainWindow& w = OpenDemo();
  const std::size_t far = LineWith("ldA     adval+5");
  ClickSource(far);
  Trigger("Step7");
  std::size_t pc = LineOf(w.session().machine().cpu.PC);
  EXPECT_TRUE(InView(pc));
  EXPECT_TRUE(HasPcMark(pc));
  EXPECT_FALSE(HasPcMark(LineOf(0xE000)));
  EXPECT_EQ(source->currentRow(), static_cast<int>(far));  // the chosen line stays chosen

  // Into a function of its own, with a line chosen far away.
  const std::size_t call = LineWith("call    squelch_check");
  ClickSource(call);
  Trigger("Jusquaucurseur");
  ASSERT_EQ(LineOf(w.session().machine().cpu.PC), call);
  ClickSource(LineOf(0xE000));
  Trigger("Step7");
  EXPECT_EQ(w.flowPane().CurrentFunction(), "squelch_check");
  pc = LineOf(w.session().machine().cpu.PC);
  EXPECT_TRUE(InView(pc));

  // The PC's line chosen: still marked as the PC's.
  ClickSource(pc);
  EXPECT_EQ(source->currentRow(), static_cast<int>(pc));
  EXPECT_TRUE(HasPcMark(pc));
}

// Tab and Shift+Tab go round the panes, the pane with the focus wears the
// frame, F5 sets and removes the breakpoint of the chosen line.
TEST_F(NewUserTest, KeyboardGoesRoundThePanesAndTogglesBreakpoints) {
  gui::MainWindow& w = OpenDemo();
  Activate();
  QWidget* flow = w.findChild<gui::FlowView*>("PaintBox1");
  QWidget* scroll = w.findChild<QScrollArea*>("ScrollBox1");
  QWidget* trace = w.findChild<QWidget*>("MemoTrace");
  QWidget* address = w.findChild<QWidget*>("AdrDump");
  QWidget* registers = &w.workbench().registersPane();
  ASSERT_NE(address, nullptr);
  QTest::mouseClick(w.findChild<QRadioButton*>("RbTrace"), Qt::LeftButton);
  source->setFocus();
  ASSERT_EQ(Focus(), source);

  std::vector<QWidget*> order{source};
  for (int i = 0; i < 12 && (order.size() == 1 || order.back() != source); ++i) {
    Key(Qt::Key_Tab);
    order.push_back(Focus());
  }
  QStringList names;
  for (QWidget* o : order) names << (o != nullptr ? o->objectName() : "-");
  ASSERT_EQ(order.back(), source) << names.join(" ").toStdString();
  auto position = [&](QWidget* pane) { return std::find(order.begin(), order.end(), pane) - order.begin(); };
  EXPECT_EQ(position(flow), 1);
  EXPECT_EQ(position(w.findChild<QWidget*>("RbTrace")), 2);
  EXPECT_EQ(position(trace), 3);
  EXPECT_LT(position(trace), position(address));
  EXPECT_LT(position(address), position(registers));
  // The registers table lets Tab go on; Shift+Tab goes back.
  registers->setFocus();
  Key(Qt::Key_Tab);
  EXPECT_EQ(Focus(), source);
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focus(), registers);

  // The frame follows the focus.
  QWidget* frame = w.workbench().paneFocus().Frame();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->isVisible());
  EXPECT_EQ(frame->parentWidget(), registers);
  EXPECT_EQ(frame->geometry(), registers->rect());
  source->setFocus();
  Key(Qt::Key_Tab);
  ASSERT_EQ(Focus(), flow);
  EXPECT_EQ(frame->parentWidget(), scroll);
  EXPECT_TRUE(frame->isVisible());

  // On the pane switch the arrows choose the list, and Tab goes into it.
  w.findChild<QWidget*>("RbTrace")->setFocus();
  Key(Qt::Key_Right);
  EXPECT_TRUE(w.findChild<QRadioButton*>("RbSurv")->isChecked());
  Key(Qt::Key_Tab);
  EXPECT_EQ(Focus(), w.findChild<QWidget*>("ListBoxSurv"));
  EXPECT_EQ(frame->parentWidget(), w.findChild<QWidget*>("ListBoxSurv"));

  // F5 on the flowchart's line, chosen with the arrows.
  flow->setFocus();
  Key(Qt::Key_Down);
  const auto chosen = w.flowPane().SelectedAddress();
  ASSERT_TRUE(chosen);
  Key(Qt::Key_F5);
  EXPECT_TRUE(w.breakpoints().Find(*chosen).has_value());
  Key(Qt::Key_F5);
  EXPECT_FALSE(w.breakpoints().Find(*chosen).has_value());

  // F5 on the source line chosen with the arrows.
  ClickSource(LineOf(0xE003));
  ASSERT_EQ(Focus(), source);
  Key(Qt::Key_Down);
  EXPECT_EQ(w.workbench().CursorTarget(), 0xE006);
  Key(Qt::Key_F5);
  EXPECT_TRUE(w.breakpoints().Find(0xE006).has_value());
  EXPECT_TRUE(source->item(static_cast<int>(LineOf(0xE006)))->text().contains("ldY"));
  EXPECT_EQ(w.Action("BasculerPointArret")->shortcut(), QKeySequence(Qt::Key_F5));
}

// Every menu of the bar has an Alt letter of its own; the captions read as before.
TEST_F(NewUserTest, EveryMenuHasItsOwnAltLetter) {
  gui::MainWindow& w = OpenDemo();
  std::set<char> letters;
  QStringList captions;
  for (QAction* a : w.menuBar()->actions()) {
    const char letter = MnemonicOf(a->text().toStdString());
    EXPECT_NE(letter, 0) << a->text().toStdString();
    EXPECT_TRUE(letters.insert(letter).second) << a->text().toStdString();
    captions << QString(a->text()).remove('&');
  }
  for (const char* caption :
       {"Fichier", "Executer", "Voir", "Fenêtre", "Options", "Profil", "Reglages", "Chercher", "Aide"})
    EXPECT_TRUE(captions.contains(QString::fromUtf8(caption))) << caption;
  Activate();
  QMenu* fenetre = nullptr;
  for (QAction* a : w.menuBar()->actions())
    if (QString(a->text()).remove('&') == QString::fromUtf8("Fenêtre")) fenetre = a->menu();
  ASSERT_NE(fenetre, nullptr);
  QTest::keyClick(&w, static_cast<Qt::Key>('A' + (MnemonicOf(fenetre->title().toStdString()) - 'a')),
                  Qt::AltModifier);
  QTRY_VERIFY_WITH_TIMEOUT(fenetre->isVisible(), 2000);
  fenetre->close();
}

// "Exporter lcov…" writes the session's coverage; "Rapport HTML…" is there
// while genhtml is, and has it make the report without blocking the window.
TEST_F(NewUserTest, ProfilExportsTheCoverage) {
  gui::MainWindow& w = OpenDemo();
  for (int i = 0; i < 30; ++i) Trigger("Step7");
  Trigger("Profil1");
  gui::ProfileWindow* profile = w.profileWindow();
  ASSERT_NE(profile, nullptr);
  // Placed under the menu bar, on the screen.
  const int menuBottom = w.menuBar()->mapToGlobal(QPoint(0, w.menuBar()->height())).y();
  EXPECT_GE(profile->frameGeometry().top(), menuBottom);
  const QRect screen = w.screen()->availableGeometry(), placed = profile->frameGeometry();
  EXPECT_TRUE(screen.contains(placed))
      << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height() << " on "
      << screen.width() << "x" << screen.height();

  const QString info = dir.filePath("session.info");
  QString suggested;
  profile->ChooseFile = [&](const QString&, const QString& s) {
    suggested = s;
    return info.toStdString();
  };
  profile->findChild<QPushButton*>("BtExporterLcov")->click();
  EXPECT_EQ(suggested.toStdString(), w.ListingBase() + ".info");
  QFile file(info);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.startsWith("TN:") || text.contains("\nSF:") || text.startsWith("SF:"))
      << text.left(80).toStdString();
  EXPECT_TRUE(text.contains("DA:240,1")) << "the first instruction ran once";
  EXPECT_EQ(Status(), "Fichier écrit: " + info);

  // A genhtml of our own on PATH: it writes the index when the tracefile is one.
  const QByteArray path = qgetenv("PATH");
  QDir bin(dir.filePath("bin"));
  ASSERT_TRUE(bin.mkpath("."));
  auto fakeGenhtml = [&](const char* body) {
    QFile script(bin.filePath("genhtml"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.write(QByteArray("#!/bin/sh\n") + body);
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  };
  // Shell built-ins only: PATH holds nothing else.
  fakeGenhtml(
      "while [ $# -gt 1 ]; do case \"$1\" in --output-directory) shift; out=\"$1\";; esac; shift; done\n"
      "while IFS= read -r l; do case \"$l\" in SF:*) echo ok > \"$out/index.html\";; esac; done < \"$1\"\n");
  qputenv("PATH", bin.absolutePath().toUtf8());
  profile->Refresh();
  QPushButton* report = profile->findChild<QPushButton*>("BtRapportHtml");
  EXPECT_TRUE(report->isVisibleTo(profile));
  const QString folder = dir.filePath("rapport");
  profile->ChooseFolder = [&](const QString&, const QString&) { return folder.toStdString(); };
  report->click();
  QTRY_VERIFY_WITH_TIMEOUT(report->isEnabled(), 10000);
  EXPECT_TRUE(QFile::exists(folder + "/index.html"));
  EXPECT_EQ(Status(), "Fichier écrit: " + folder + "/index.html");

  // A genhtml that fails is reported as a failure.
  fakeGenhtml("echo 'genhtml: ERROR: no data' >&2\nexit 1\n");
  messages.shown.clear();
  report->click();
  QTRY_VERIFY_WITH_TIMEOUT(report->isEnabled() && !messages.shown.empty(), 10000);
  EXPECT_TRUE(QString::fromStdString(messages.shown.back().text).contains("no data"));

  // Without genhtml the item is not offered.
  QFile::remove(bin.filePath("genhtml"));
  profile->Refresh();
  EXPECT_FALSE(report->isVisibleTo(profile));
  qputenv("PATH", path);
}

// "Aide" lists the keys and links to the documentation; "Quitter" writes
// the files and closes the window.
TEST_F(NewUserTest, AideListsTheKeysAndQuitterCloses) {
  gui::MainWindow& w = OpenDemo();
  Trigger("Aide1");
  auto* page = w.findChild<QTextBrowser*>("TexteAide");
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(page->isVisible());
  const QString text = page->toPlainText();
  for (const char* key : {"F9", "Exécuter", "Ctrl+F2", "F5", "Basculer point d'arrêt", "Shift+F2", "Tab"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(key))) << key;
  EXPECT_TRUE(page->toHtml().contains("README.md")) << "a link to the documentation";

  QFile::remove(dir.filePath("hc11flow.ini"));
  QFile::remove(QString::fromStdString(w.session().WorkspaceFile()));
  Trigger("Quitter1");
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(QFile::exists(dir.filePath("hc11flow.ini")));
  EXPECT_TRUE(QFile::exists(QString::fromStdString(w.session().WorkspaceFile())));
}

}  // namespace
}  // namespace hc11::test
