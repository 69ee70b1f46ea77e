#include "workbench/tooltips.h"

#include <array>
#include <utility>

namespace hc11 {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 30> kToolTips = {{
    // Top bar.
    {"LigneX1", "Ce que la dernière exécution a laissé comme message."},
    {"LigneX2", "L'instruction courante et le temps écoulé; un clic remet le temps à zéro."},
    {"Cas_Break", "La raison du dernier arrêt de l'exécution."},
    {"LabelPC", "Le compteur programme; un clic permet de le modifier."},
    {"LabelA", "L'accumulateur A; un clic permet de le modifier."},
    {"LabelB", "L'accumulateur B; un clic permet de le modifier."},
    {"LabelX", "Le registre d'index X; un clic permet de le modifier."},
    {"LabelY", "Le registre d'index Y; un clic permet de le modifier."},
    {"CbDebugOnce", "Coché, le décodeur le décoche à la prochaine instruction reconnue."},
    {"ListUrl", "L'historique des fonctions affichées; choisir une entrée l'affiche à nouveau."},
    // The right-pane switch.
    {"GroupBox1", "Choisit la liste affichée dans le panneau de droite."},
    {"RbTrace", "Affiche la trace des instructions et des événements."},
    {"RbSurv", "Affiche les variables surveillées."},
    {"RbStack", "Affiche la pile avec les adresses de retour."},
    {"RbBreak", "Affiche la liste des points d'arrêt."},
    {"RbListe", "Affiche la liste des fonctions ou les résultats de recherche."},
    {"RBVar", "Affiche la liste des symboles du programme."},
    // Options.
    {"AfReg", "Trace chaque instruction exécutée avec les registres."},
    {"AffCommentaires", "Montre les commentaires du listing dans l'organigramme."},
    {"AffLabelLocal", "Montre les labels locaux (commençant par @) dans l'organigramme."},
    {"AutTracer", "Garde l'historique détaillé des instructions exécutées."},
    {"UartTrace", "Trace les échanges de la liaison série dans le panneau de la carte."},
    {"Tracer1Mb", "Trace les échanges avec le panneau de la carte."},
    {"TracerI2c", "Trace les échanges du bus I2C."},
    {"TracerSynth", "Trace le chargement du synthétiseur de fréquence."},
    {"DispoSansChevauchement", "Dispose les cases de l'organigramme sans qu'elles se recouvrent."},
    // Zoom and the panes.
    {"ZoomIn", "Agrandit l'organigramme autour du pointeur."},
    {"ZoomOut", "Réduit l'organigramme autour du pointeur."},
    {"ZoomReset", "Remet l'organigramme à sa taille normale."},
    {"Registres",
     "Les registres du processeur, modifiables en place; en rouge ce que le dernier arrêt a changé."},
}};

}  // namespace

std::string_view ToolTipOf(std::string_view component) {
  for (const auto& [name, tip] : kToolTips)
    if (name == component) return tip;
  return {};
}

}  // namespace hc11
