#include "app/dialogs_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QIdentityProxyModel>
#include <QPixmap>
#include <QSpacerItem>
#include <QUrl>
#include <utility>

#include "app/icons.h"

namespace vellumor::app {

namespace {

// Qt's own file dialog speaks French with the program; the desktop's would speak the desktop's
// language.
constexpr QFileDialog::Options kDialogueFichiers = QFileDialog::DontUseNativeDialog;

// The title bar's own buttons and icon beside the title, in pixels.
constexpr int kCadreTitre = 160;

// Sizes, types and dates of the file dialog's detail view in the program's locale: Qt writes them
// in the system's, and names a folder in a text its French translation lacks.
class ModeleFichiersFrancais : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* source = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !source || index.column() == 0)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex s = mapToSource(index);
        const bool dossier = source->isDir(s);
        switch (index.column()) {
            case 1:
                return dossier ? QString() : QLocale().formattedDataSize(source->size(s));
            case 2:
                return dossier ? QStringLiteral("Dossier") : QIdentityProxyModel::data(index, role);
            case 3:
                return QLocale().toString(source->lastModified(s), QLocale::ShortFormat);
            default:
                return QIdentityProxyModel::data(index, role);
        }
    }
};

// A box at least as wide as its title, so that the title bar does not cut it.
void elargir_pour_titre(QMessageBox& boite) {
    auto* grille = qobject_cast<QGridLayout*>(boite.layout());
    if (!grille) return;
    const int largeur = boite.fontMetrics().horizontalAdvance(boite.windowTitle()) + kCadreTitre;
    grille->addItem(new QSpacerItem(largeur, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                    grille->rowCount(), 0, 1, grille->columnCount());  // owned by the grid
}

}  // namespace

std::unique_ptr<QFileDialog> construire_dialogue_fichiers(const QString& titre,
                                                          const QString& dossier,
                                                          const QString& filtre, bool enregistrer,
                                                          bool multiple) {
    auto d = std::make_unique<QFileDialog>(QApplication::activeWindow(), titre, dossier,
                                           filtre_qt(filtre));
    d->setOptions(kDialogueFichiers);
    d->setProxyModel(new ModeleFichiersFrancais(d.get()));  // owned by the dialog
    if (enregistrer) {
        d->setAcceptMode(QFileDialog::AcceptSave);
        d->setFileMode(QFileDialog::AnyFile);
    } else {
        d->setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    return d;
}

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
    elargir_pour_titre(*boite);
    return boite;
}

namespace {

// A box's buttons as the task dialog and the plain box report them.
struct BoutonBoite {
    int bouton;
    Reponse reponse;
    int code;
};
constexpr BoutonBoite kBoutonsBoite[] = {
    {QMessageBox::Ok, Reponse::Ok, kCodeOk},
    {QMessageBox::Yes, Reponse::Oui, kCodeOui},
    {QMessageBox::No, Reponse::Non, kCodeNon},
    {QMessageBox::Cancel, Reponse::Annuler, kCodeAnnuler},
};

const BoutonBoite* bouton_boite(int bouton) {
    for (const BoutonBoite& b : kBoutonsBoite)
        if (b.bouton == bouton) return &b;
    return nullptr;
}

// The plain box's icon by the style's icon bits.
QMessageBox::Icon icone_simple(std::uint32_t style) {
    constexpr std::pair<std::uint32_t, QMessageBox::Icon> kIcones[] = {
        {0x10, QMessageBox::Critical},
        {0x20, QMessageBox::Question},
        {0x30, QMessageBox::Warning},
        {0x40, QMessageBox::Information},
    };
    for (const auto& [bits, icone] : kIcones)
        if ((style & 0xF0) == bits) return icone;
    return QMessageBox::NoIcon;
}

}  // namespace

Reponse reponse_de(int bouton) {
    const BoutonBoite* b = bouton_boite(bouton);
    return b ? b->reponse : Reponse::Echec;
}

// Any other answer (the box closed by its title bar) counts as OK.
int code_de(int bouton) {
    const BoutonBoite* b = bouton_boite(bouton);
    return b ? b->code : kCodeOk;
}

std::unique_ptr<QMessageBox> construire_boite_simple(const QString& titre, const QString& texte,
                                                     std::uint32_t style, QWidget* parent) {
    auto boite = std::make_unique<QMessageBox>(parent);
    boite->setWindowTitle(titre);
    boite->setText(texte_affiche(texte));
    boite->setIcon(icone_simple(style));
    boite->setStandardButtons((style & 0xF) == 4 ? QMessageBox::Yes | QMessageBox::No
                                                 : QMessageBox::Ok);
    elargir_pour_titre(*boite);
    return boite;
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
    const auto d = construire_dialogue_fichiers(titre, dossier, filtre, false, multiple);
    if (d->exec() != QDialog::Accepted) return {};
    return d->selectedFiles();
}

QString DialogsQt::enregistrer_fichier(const QString& titre, const QString& dossier,
                                       const QString& filtre) {
    const auto d = construire_dialogue_fichiers(titre, dossier, filtre, true, false);
    if (d->exec() != QDialog::Accepted) return {};
    return d->selectedFiles().value(0);
}

void DialogsQt::copier_texte(const QString& texte) {
    QApplication::clipboard()->setText(texte);
}

QString DialogsQt::texte_copie() {
    return QApplication::clipboard()->text();
}

bool DialogsQt::ouvrir_dossier(const QString& dossier) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(dossier));
}

}  // namespace vellumor::app
