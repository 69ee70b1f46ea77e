#include "app/gui/edit_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "app/gui/gui_fonts.h"
#include "debugger/watch_formats.h"

namespace hc11::gui {

namespace {

QLineEdit* Edit(const char* name, const std::string& text, QWidget* parent) {
  auto* e = new QLineEdit(QString::fromStdString(text), parent);
  e->setObjectName(name);
  return e;
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
  ok->setObjectName("BtOk");
  buttons->addButton(QDialogButtonBox::Cancel)->setObjectName("BitBtn2");
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

QSpinBox* Spin(const char* name, int low, int high, int value, QWidget* parent) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(name);
  s->setRange(low, high);
  s->setValue(value);
  return s;
}

}  // namespace

EditBreakDialog::EditBreakDialog(const BreakDialog& fill, BreakDialogCheck check, Messages& messages,
                                 QWidget* parent)
    : QDialog(parent), check_(std::move(check)), messages_(messages) {
  setObjectName("EditBreak2");
  setWindowTitle("Break");
  auto* form = new QFormLayout(this);
  name_ = Edit("Nom2", fill.name, this);
  name_->setMaxLength(static_cast<int>(kBreakNameMax));
  address_ = Edit("Adr2", fill.address, this);
  kind_ = Edit("Type2", fill.kind, this);
  kind_->setToolTip(QString::fromUtf8("C=code I=W Ram , i read Ram, m Ram Modifiée"));
  form->addRow("nom", name_);
  form->addRow("$Adresse ", address_);
  form->addRow("Type", kind_);
  auto* row = new QHBoxLayout;
  const char* names[3] = {"Inactif", "Break1", "Trace1"};
  const char* captions[3] = {"inactif", "Break", "Trace"};
  for (int i = 0; i < 3; ++i) {
    states_[i] = new QRadioButton(captions[i], this);
    states_[i]->setObjectName(names[i]);
    states_[i]->setChecked(fill.selected == i + 1);
    row->addWidget(states_[i]);
  }
  form->addRow(row);
  condition_ = Edit("Cond2", fill.condition, this);
  condition_->setToolTip(QString::fromUtf8("ex. [cnt] == 3 && A > $10 : arrêt seulement si vraie"));
  rule_ = new QComboBox(this);
  rule_->setObjectName("Regle2");
  for (const char* item : {"à chaque passage", "au passage n°", "tous les n passages"})
    rule_->addItem(QString::fromUtf8(item));
  rule_->setCurrentIndex(static_cast<int>(fill.rule));
  count_ = Edit("NbPass2", fill.count, this);
  log_ = Edit("Log2", fill.log, this);
  log_->setToolTip(QString::fromUtf8("écrit dans la trace sans arrêt, ex. cnt={[cnt]} X={X:x}"));
  temporary_ = new QCheckBox(QString::fromUtf8("temporaire (retiré au premier arrêt)"), this);
  temporary_->setObjectName("Temp2");
  temporary_->setChecked(fill.temporary);
  form->addRow("si", condition_);
  form->addRow("passages", rule_);
  form->addRow("n", count_);
  form->addRow("log", log_);
  form->addRow(temporary_);
  form->addRow(OkCancel(this));
}

void EditBreakDialog::accept() {
  if (check_) {
    const std::string error = check_(Texts());
    if (!error.empty()) {
      messages_.Show(MsgKind::Error, "Erreur", error);
      return;  // what was typed stays to be mended
    }
  }
  QDialog::accept();
}

BreakDialog EditBreakDialog::Texts() const {
  BreakDialog d;
  d.name = name_->text().toStdString();
  d.address = address_->text().toStdString();
  d.kind = kind_->text().toStdString();
  for (int i = 0; i < 3; ++i)
    if (states_[i]->isChecked()) d.selected = i + 1;
  d.condition = condition_->text().toStdString();
  d.rule = static_cast<HitRule>(rule_->currentIndex());
  d.count = count_->text().toStdString();
  d.log = log_->text().toStdString();
  d.temporary = temporary_->isChecked();
  return d;
}

EditWatchDialog::EditWatchDialog(const WatchDialog& fill, QWidget* parent) : QDialog(parent) {
  setObjectName("EditSurv2");
  setWindowTitle("Surv");
  auto* form = new QFormLayout(this);
  type_ = Edit("Typ2", fill.type, this);
  type_->setMaxLength(1);
  type_->setToolTip("B C S I=RamInterne  X=Eeprom c");
  name_ = Edit("Nom2", fill.name, this);
  address_ = Edit("Adr2", fill.address, this);
  format_ = new QComboBox(this);
  format_->setObjectName("Format2");
  for (const char* item : kWatchFormatItems) format_->addItem(item);
  format_->setCurrentIndex(fill.format);
  bytesPer_ = Spin("NbByte2", 1, 16, fill.bytesPer, this);
  elements_ = Spin("NbElem2", 1, 100, fill.elements, this);
  value_ = Edit("Valeur2", fill.value, this);
  value_->setFont(CodeFont());
  initial_ = Edit("ChaineInit2", fill.initial, this);
  form->addRow("Typ", type_);
  form->addRow("nom", name_);
  form->addRow("$Adresse ", address_);
  form->addRow("format", format_);
  form->addRow("Nombre bytes", bytesPer_);
  form->addRow(QString::fromUtf8("Nombre éléments"), elements_);
  form->addRow("Valeur", value_);
  form->addRow("Valeur Init", initial_);
  form->addRow(OkCancel(this));
  connect(value_, &QLineEdit::textEdited, this, [this] { valueModified_ = true; });
  connect(initial_, &QLineEdit::textEdited, this, [this] { initialModified_ = true; });
}

WatchDialog EditWatchDialog::Texts() const {
  WatchDialog d;
  d.type = type_->text().toStdString();
  d.name = name_->text().toStdString();
  d.address = address_->text().toStdString();
  d.format = format_->currentIndex();
  d.bytesPer = bytesPer_->value();
  d.elements = elements_->value();
  d.value = value_->text().toStdString();
  d.initial = initial_->text().toStdString();
  d.valueModified = valueModified_;
  d.initialModified = initialModified_;
  return d;
}

bool RunEditBreakDialog(QWidget* parent, BreakDialog& d, BreakDialogCheck check, Messages& messages) {
  EditBreakDialog dialog(d, std::move(check), messages, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  d = dialog.Texts();
  return true;
}

bool RunEditWatchDialog(QWidget* parent, WatchDialog& d) {
  EditWatchDialog dialog(d, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  d = dialog.Texts();
  return true;
}

}  // namespace hc11::gui
