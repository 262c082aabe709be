#include "app/message_box.h"

#include "app/controls.h"
#include "app/main_window_ids.h"
#include "app/texte.h"

namespace vellumor::app {

Bouclier bouclier_de(std::uint32_t style) {
    switch (style & 0xF0) {
        case 0x10:
            return Bouclier::Rouge;
        case 0x30:
            return Bouclier::Jaune;
        case 0x20:
        case 0x40:
            return Bouclier::Vert;
        default:
            return Bouclier::Bleu;
    }
}

DialogueTache dialogue_pour(const ChampsMessage& m) {
    DialogueTache d;
    d.titre = m.titre;
    if (d.titre.isEmpty()) {
        if (QWidget* principale = fenetre(kFenetrePrincipale)) d.titre = principale->windowTitle();
    }
    d.instruction = m.instruction;
    d.icone = bouclier_de(m.style);
    d.oui_non = (m.style & 0xF) == 4 && (m.style & 0xF0) != 0x40;
    d.details = m.details;
    d.corps = m.corps;
    return d;
}

DialogueTache dialogue_pour(const QString& instruction, const QString& texte, std::uint32_t style,
                            const QString& titre) {
    const QStringList parties = texte.split(QLatin1Char('\n'));
    return dialogue_pour(
        ChampsMessage{instruction, parties.value(0), parties.value(1), style, titre});
}

namespace {

int code_de_reponse(Reponse r) {
    switch (r) {
        case Reponse::Oui:
            return kCodeOui;
        case Reponse::Non:
            return kCodeNon;
        case Reponse::Annuler:
            return kCodeAnnuler;
        default:
            return 0;
    }
}

}  // namespace

int Boite_Message(Dialogs& dialogs, const ChampsMessage& m, QWidget* parent) {
    return code_de_reponse(dialogs.dialogue_tache(dialogue_pour(m), parent));
}

int Boite_Message(Dialogs& dialogs, const QString& instruction, const QString& texte,
                  std::uint32_t style, QWidget* parent, const QString& titre) {
    return code_de_reponse(
        dialogs.dialogue_tache(dialogue_pour(instruction, texte, style, titre), parent));
}

int boite_simple(Dialogs& dialogs, const QString& titre, const QString& texte,
                 std::uint32_t style) {
    return dialogs.boite_simple(titre, texte, style);
}

int boite_fin(Dialogs& dialogs, std::string_view texte_fin, QWidget* parent,
              const QString& raisons) {
    // The whole end text is the body, its later lines (the kept originals' folder) included.
    DialogueTache d = dialogue_pour(ChampsMessage{.instruction = QStringLiteral(" Info"),
                                                  .details = raisons,
                                                  .corps = texte_utf8(texte_fin),
                                                  .style = kIconeInformation});
    const qsizetype non_ecrites = raisons.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size();
    if (non_ecrites > 0) {
        d.icone = bouclier_de(kIconeAvertissement);
        d.corps += QStringLiteral("\n\n") + texte_pages_non_ecrites(non_ecrites) +
                   QStringLiteral(" (voir les détails)");
    }
    return code_de_reponse(dialogs.dialogue_tache(d, parent));
}

QString texte_pages_non_ecrites(qsizetype nombre) {
    return nombre == 1 ? QStringLiteral("1 page n'a pas été écrite")
                       : QStringLiteral("%1 pages n'ont pas été écrites").arg(nombre);
}

int afficher_message(Dialogs& dialogs, const Message& m, QWidget* parent) {
    const QString texte = QString::fromStdString(m.texte);
    const QString titre = QString::fromStdString(m.titre);
    if (m.kind == Message::Kind::Simple) return boite_simple(dialogs, titre, texte, m.style);
    return Boite_Message(dialogs, QString::fromStdString(m.instruction), texte, m.style, parent,
                         titre);
}

}  // namespace vellumor::app
