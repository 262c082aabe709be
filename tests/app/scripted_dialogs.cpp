#include "scripted_dialogs.h"

namespace vellumor::app::test {

std::vector<DialogsScriptes::Appel> DialogsScriptes::de_genre(Appel::Genre g) const {
    std::vector<Appel> choisis;
    for (const Appel& a : appels)
        if (a.genre == g) choisis.push_back(a);
    return choisis;
}

Reponse DialogsScriptes::dialogue_tache(const DialogueTache& d, QWidget*) {
    appels.push_back({Appel::Genre::Tache, d, {}, {}, {}, 0, false});
    if (reponses_tache.empty()) return Reponse::Ok;
    const Reponse r = reponses_tache.front();
    reponses_tache.pop_front();
    return r;
}

int DialogsScriptes::boite_simple(const QString& titre, const QString& texte, std::uint32_t style) {
    appels.push_back({Appel::Genre::Simple, {}, titre, texte, {}, style, false});
    if (reponses_simples.empty()) return (style & 0xF) == 4 ? kCodeOui : kCodeOk;
    const int r = reponses_simples.front();
    reponses_simples.pop_front();
    return r;
}

QStringList DialogsScriptes::ouvrir_fichiers(const QString& titre, const QString& dossier,
                                             const QString& filtre, bool multiple) {
    appels.push_back({Appel::Genre::Ouvrir, {}, titre, dossier, filtre, 0, multiple});
    if (choix_fichiers.empty()) return {};
    const QStringList r = choix_fichiers.front();
    choix_fichiers.pop_front();
    return r;
}

QString DialogsScriptes::enregistrer_fichier(const QString& titre, const QString& dossier,
                                             const QString& filtre) {
    appels.push_back({Appel::Genre::Enregistrer, {}, titre, dossier, filtre, 0, false});
    if (noms_enregistrement.empty()) return {};
    const QString r = noms_enregistrement.front();
    noms_enregistrement.pop_front();
    return r;
}

void DialogsScriptes::copier_texte(const QString& texte) {
    appels.push_back({Appel::Genre::Copie, {}, {}, texte, {}, 0, false});
    presse_papiers = texte;
}

bool DialogsScriptes::ouvrir_dossier(const QString& dossier) {
    appels.push_back({Appel::Genre::Dossier, {}, {}, dossier, {}, 0, false});
    return dossier_ouvert;
}

}  // namespace vellumor::app::test
