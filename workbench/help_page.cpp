#include "workbench/help_page.h"

namespace hc11 {

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void Table(std::string& html, const char* title, const std::vector<HelpKey>& keys) {
  html += "<h3>" + std::string(title) + "</h3><table cellspacing=\"0\" cellpadding=\"3\">";
  for (const HelpKey& k : keys)
    html += "<tr><td><b>" + Escaped(k.key) + "</b></td><td>" + Escaped(k.command) + "</td></tr>";
  html += "</table>";
}

}  // namespace

const std::vector<HelpKey>& PaneKeys() {
  static const std::vector<HelpKey> keys = {
      {"Tab / Maj+Tab", "passer au volet suivant / précédent (source, organigramme, liste, dump, registres)"},
      {"Alt+lettre", "ouvrir le menu dont la lettre est soulignée"},
      {"Haut / Bas", "organigramme: ligne précédente / suivante"},
      {"Entrée", "organigramme: suivre l'appel de la ligne (comme \"Lien\")"},
      {"Retour arrière", "organigramme: \"Precedent\""},
      {"Haut / Bas", "source: choisir la ligne (cible de F4 et F5)"},
      {"Suppr", "listes \"Surv\" et \"Break\": supprimer l'entrée choisie"},
      {"Ctrl+molette", "organigramme: zoom"},
  };
  return keys;
}

std::string HelpPageHtml(const std::vector<HelpKey>& menuKeys, const std::string& docsUrl) {
  std::string html = "<h2>hc11flow: raccourcis clavier</h2>";
  Table(html, "Commandes des menus", menuKeys);
  Table(html, "Dans les volets", PaneKeys());
  if (!docsUrl.empty())
    html += "<p>Documentation: <a href=\"" + Escaped(docsUrl) + "\">" + Escaped(docsUrl) + "</a></p>";
  return html;
}

}  // namespace hc11
