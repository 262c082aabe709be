#include "app/message_box.h"

#include "app/controls.h"
#include "app/main_window_ids.h"

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

DialogueTache dialogue_pour(const QString& instruction, const QString& texte, std::uint32_t style,
                            const QString& titre) {
    DialogueTache d;
    d.titre = titre;
    if (d.titre.isEmpty()) {
        if (QWidget* principale = fenetre(kFenetrePrincipale)) d.titre = principale->windowTitle();
    }
    d.instruction = instruction;
    d.icone = bouclier_de(style);
    d.oui_non = (style & 0xF) == 4 && (style & 0xF0) != 0x40;
    const QStringList parties = texte.split(QLatin1Char('\n'));
    d.details = parties.value(0);
    d.corps = parties.value(1);
    return d;
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

int Boite_Message(Dialogs& dialogs, const QString& instruction, const QString& texte,
                  std::uint32_t style, QWidget* parent, const QString& titre) {
    return code_de_reponse(
        dialogs.dialogue_tache(dialogue_pour(instruction, texte, style, titre), parent));
}

int Boite_Simple(Dialogs& dialogs, const QString& titre, const QString& texte,
                 std::uint32_t style) {
    return dialogs.boite_simple(titre, texte, style);
}

int Boite_Fin(Dialogs& dialogs, std::string_view texte_fin, QWidget* parent,
              const QString& raisons) {
    DialogueTache d = dialogue_pour(QStringLiteral(" Info"), QString(), kIconeInformation, {});
    // The whole end text is the body, its later lines (the kept originals' folder) included.
    d.corps = QString::fromUtf8(texte_fin.data(), qsizetype(texte_fin.size()));
    d.details = raisons;
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
    if (m.kind == Message::Kind::Simple) return Boite_Simple(dialogs, titre, texte, m.style);
    return Boite_Message(dialogs, QString::fromStdString(m.instruction), texte, m.style, parent,
                         titre);
}

}  // namespace vellumor::app
