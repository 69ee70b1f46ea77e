#include "app/gui/memory_find_bar.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "core/text_util.h"

namespace hc11::gui {

MemoryFindBar::MemoryFindBar(QWidget* parent) : QWidget(parent) {
  setObjectName("ChercherMemoire");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  pattern_ = new QLineEdit;
  pattern_->setObjectName("EdMotif");
  pattern_->setPlaceholderText("86 ?? 10  \"MENU\"  .w $1234");
  pattern_->setToolTip(
      "Octets hexadécimaux, ?? pour un octet quelconque, un texte entre guillemets, .w pour un mot");
  range_ = new QLineEdit;
  range_->setObjectName("EdPlage");
  range_->setPlaceholderText("E000-FFFF");
  range_->setToolTip("Plage facultative, en hexadécimal; vide: toute la mémoire");
  range_->setMaximumWidth(90);
  auto* find = new QPushButton("Chercher en mémoire");
  find->setObjectName("BtChercher");
  find->setToolTip("Va à la première adresse trouvée; F3 va à la suivante");
  result_ = new QLabel;
  result_->setObjectName("LbTrouve");
  row->addWidget(pattern_, 1);
  row->addWidget(range_);
  row->addWidget(find);
  row->addWidget(result_);
  connect(find, &QPushButton::clicked, this, [this] { FindFirst(); });
  connect(pattern_, &QLineEdit::returnPressed, this, [this] { FindFirst(); });
  connect(range_, &QLineEdit::returnPressed, this, [this] { FindFirst(); });
}

bool MemoryFindBar::Parse() {
  search_.reset();
  last_.reset();
  searchedPattern_ = pattern_->text();
  searchedRange_ = range_->text();
  ParsedMemorySearch parsed = ParseMemorySearch(pattern_->text().toStdString());
  std::string error = parsed.error;
  if (parsed.search && !range_->text().trimmed().isEmpty() &&
      !ParseAddressRange(range_->text().toStdString(), parsed.search->range, error))
    parsed.search.reset();
  if (!parsed.search) {
    result_->clear();
    if (OnError) OnError("Chercher en mémoire: " + error);
    return false;
  }
  search_ = std::move(*parsed.search);
  return true;
}

void MemoryFindBar::FindFirst() {
  if (!Parse() || !Memory) return;
  const auto found = FindFrom(Memory(), *search_, 0);
  Show(found ? std::optional(found->address) : std::nullopt, false);
}

void MemoryFindBar::FindNext() {
  if (!search_ || !last_ || pattern_->text() != searchedPattern_ || range_->text() != searchedRange_) {
    FindFirst();
    return;
  }
  if (!Memory) return;
  const auto found = FindFrom(Memory(), *search_, std::uint32_t{*last_} + 1);
  Show(found ? std::optional(found->address) : std::nullopt, found && found->wrapped);
}

void MemoryFindBar::Show(std::optional<std::uint16_t> address, bool wrapped) {
  last_ = address;
  if (!address) {
    result_->setText("Introuvable");
    return;
  }
  result_->setText(QString::fromStdString(Format("%4.4X", *address)) + (wrapped ? " (retour au début)" : ""));
  if (OnFound) OnFound(*address, search_->bytes.size());
}

}  // namespace hc11::gui
