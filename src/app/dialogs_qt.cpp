#include "app/dialogs_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QPixmap>
#include <QUrl>

#include "app/icons.h"

namespace vellumor::app {

namespace {

// Qt's own file dialog speaks French with the program; the desktop's would speak the desktop's
// language.
constexpr QFileDialog::Options kDialogueFichiers = QFileDialog::DontUseNativeDialog;

}  // namespace

QString texte_affiche(const QString& texte) {
    QString t = texte;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QString filtre_qt(const QString& filtre) {
    const qsizetype barre = filtre.indexOf(QLatin1Char('|'));
    if (barre < 0) return filtre;
    QString motifs = filtre.mid(barre + 1);
    motifs.replace(QLatin1Char(';'), QLatin1Char(' '));
    return filtre.left(barre) + QStringLiteral(" (") + motifs + QLatin1Char(')');
}

std::unique_ptr<QMessageBox> construire_boite_tache(const DialogueTache& d, QWidget* parent) {
    auto boite = std::make_unique<QMessageBox>(parent);
    boite->setWindowTitle(d.titre);
    boite->setText(texte_affiche(d.instruction));
    boite->setInformativeText(texte_affiche(d.corps));
    boite->setDetailedText(texte_affiche(d.details));
    boite->setIconPixmap(QPixmap::fromImage(dessiner_bouclier(d.icone)));
    boite->setStandardButtons(d.oui_non ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    return boite;
}

Reponse reponse_de(int bouton) {
    switch (bouton) {
        case QMessageBox::Ok:
            return Reponse::Ok;
        case QMessageBox::Yes:
            return Reponse::Oui;
        case QMessageBox::No:
            return Reponse::Non;
        case QMessageBox::Cancel:
            return Reponse::Annuler;
        default:
            return Reponse::Echec;
    }
}

std::unique_ptr<QMessageBox> construire_boite_simple(const QString& titre, const QString& texte,
                                                     std::uint32_t style, QWidget* parent) {
    auto boite = std::make_unique<QMessageBox>(parent);
    boite->setWindowTitle(titre);
    boite->setText(texte_affiche(texte));
    switch (style & 0xF0) {
        case 0x10:
            boite->setIcon(QMessageBox::Critical);
            break;
        case 0x20:
            boite->setIcon(QMessageBox::Question);
            break;
        case 0x30:
            boite->setIcon(QMessageBox::Warning);
            break;
        case 0x40:
            boite->setIcon(QMessageBox::Information);
            break;
        default:
            boite->setIcon(QMessageBox::NoIcon);
    }
    boite->setStandardButtons((style & 0xF) == 4 ? QMessageBox::Yes | QMessageBox::No
                                                 : QMessageBox::Ok);
    return boite;
}

int code_de(int bouton) {
    switch (bouton) {
        case QMessageBox::Yes:
            return kCodeOui;
        case QMessageBox::No:
            return kCodeNon;
        case QMessageBox::Cancel:
            return kCodeAnnuler;
        default:
            return kCodeOk;
    }
}

Reponse DialogsQt::dialogue_tache(const DialogueTache& d, QWidget* parent) {
    auto boite = construire_boite_tache(d, parent);
    return reponse_de(boite->exec());
}

int DialogsQt::boite_simple(const QString& titre, const QString& texte, std::uint32_t style) {
    auto boite = construire_boite_simple(titre, texte, style, QApplication::activeWindow());
    return code_de(boite->exec());
}

QStringList DialogsQt::ouvrir_fichiers(const QString& titre, const QString& dossier,
                                       const QString& filtre, bool multiple) {
    QWidget* parent = QApplication::activeWindow();
    if (multiple)
        return QFileDialog::getOpenFileNames(parent, titre, dossier, filtre_qt(filtre), nullptr,
                                             kDialogueFichiers);
    const QString choisi = QFileDialog::getOpenFileName(parent, titre, dossier, filtre_qt(filtre),
                                                        nullptr, kDialogueFichiers);
    return choisi.isEmpty() ? QStringList() : QStringList{choisi};
}

QString DialogsQt::enregistrer_fichier(const QString& titre, const QString& dossier,
                                       const QString& filtre) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), titre, dossier,
                                        filtre_qt(filtre), nullptr, kDialogueFichiers);
}

void DialogsQt::copier_texte(const QString& texte) {
    QApplication::clipboard()->setText(texte);
}

QString DialogsQt::texte_copie() {
    return QApplication::clipboard()->text();
}

void DialogsQt::ouvrir_dossier(const QString& dossier) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(dossier));
}

}  // namespace vellumor::app
