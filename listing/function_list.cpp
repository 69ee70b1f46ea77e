#include "listing/function_list.h"

#include <string>

#include "core/file_write.h"
#include "core/message_text.h"
#include "core/text_util.h"
#include "listing/listing_files.h"

namespace hc11 {

bool AddFonction(TListFonct& list, std::string_view name, std::uint16_t address) {
  if (name.empty() || name.front() == 'c') return false;
  return list.entries.try_emplace(std::string(name), TFonctElem{address, 0}).second;
}

bool SaveFonctFile(TListFonct& list, std::string_view programName, Messages& messages) {
  list.NomFichier = FonctFileName(programName);
  std::string content;
  for (const auto& entry : list.entries) {
    content += entry.first;
    content += "\r\n";
  }
  std::string reason;
  if (WriteFileWhole(list.NomFichier, content, reason)) return true;
  messages.Show(MsgKind::Error, "Erreur",
                Format("Impossible d'écrire la liste des fonctions %s : %s",
                       QuoteText(list.NomFichier).c_str(), reason.c_str()));
  return false;
}

}  // namespace hc11
