#include "app/startup.h"

#include <QCoreApplication>
#include <QDir>

#include "app/banner.h"
#include "app/controls.h"
#include "app/message_box.h"
#include "app/static_colours.h"
#include "settings/preferences.h"
#include "settings/temp_folder.h"

namespace vellumor::app {
namespace {

constexpr const char* kPrefixeCopie = "Vellumor - Copie (";
constexpr const char* kLibelleConstruction = "Qt6 Linux  ";  // 11 characters, two final blanks

Session* session_courante = nullptr;

}  // namespace

int Numero_Version(const QString& dossier_copies) {
    const QString prefixe = QString::fromUtf8(kPrefixeCopie);
    int plus_grand = 0;
    const QFileInfoList copies = QDir(dossier_copies)
                                     .entryInfoList({prefixe + QStringLiteral("*.exe")},
                                                    QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& copie : copies) {
        const QString reste = copie.fileName().mid(prefixe.size());
        int chiffres = 0;
        while (chiffres < reste.size() && reste[chiffres].isDigit() && reste[chiffres] < QChar(128))
            ++chiffres;
        const int numero = reste.left(std::min(chiffres, 9)).toInt();
        plus_grand = std::max(plus_grand, numero);
    }
    return plus_grand + 11;
}

QString dossier_copies_de_sauvegarde() {
    return QDir::homePath() + QStringLiteral("/Vellumor/Copies");
}

QString titre_programme(int version) {
    return QStringLiteral("Traitement des images - version %1  --  %2(x64)")
        .arg(static_cast<double>(static_cast<float>(version) / 10.0f), 0, 'f', 2)
        .arg(QString::fromUtf8(kLibelleConstruction));
}

QString Dossier_Temporaire() {
    const DossierPrive dossier = dossier_temporaire_prive();
    if (!dossier) return {};
    return QString::fromStdString(dossier.chemin.string()) + QLatin1Char('/');
}

QString texte_erreur_fatale(const QString& message, int ligne) {
    return message + QStringLiteral("\r\nline ") + QString::number(ligne);
}

Session::Session(Dialogs& dialogs) : dialogs_(dialogs) {
    session_courante = this;
}

Session::~Session() {
    arreter();
    if (session_courante == this) session_courante = nullptr;
}

Session* Session::courante() {
    return session_courante;
}

std::unique_ptr<Session> Session::demarrer(Dialogs& dialogs, const QString& dossier_copies) {
    std::unique_ptr<Session> s(new Session(dialogs));
    s->ressources_.charger_polices_de_base();
    s->dossier_preferences_ = dossier_preferences_depuis(qgetenv("APPDATA").toStdString(),
                                                         qgetenv("XDG_CONFIG_HOME").toStdString(),
                                                         qgetenv("HOME").toStdString());
    s->lire_preferences();
    s->ressources_.charger_images_partagees();
    s->police_tampon_ = numbering::PoliceTampon::charger();
    if (s->police_tampon_) {
        installer_coloriage_statique();
    } else {
        Boite_Message(dialogs, QStringLiteral(" Impossible de charger la police!"),
                      QStringLiteral("  ARIAL taille 110"), kIconeErreur, nullptr);
    }
    const QString titre = titre_programme(Numero_Version(dossier_copies));
    if (!preparer_images_bandeau(s->ressources_, kLargeurClient)) return nullptr;
    s->fenetre_ = std::make_unique<FenetrePrincipale>(s->ressources_, dialogs, titre);
    QObject::connect(s->fenetre_.get(), &FenetrePrincipale::ferme,
                     [] { QCoreApplication::exit(0); });
    s->fenetre_->show();
    return s;
}

int Session::executer() {
    QCoreApplication::exec();
    arreter();
    return 0;
}

void Session::arreter() {
    if (arretee_) return;
    arretee_ = true;
    ecrire_preferences();
    if (fenetre_) fenetre_->attendre_les_travaux();
    police_tampon_.reset();
    fenetre_.reset();
}

void Session::lire_preferences() {
    // A damaged file is left as it is: the defaults are used and nothing is written over it.
    if (auto endommagees = preferences_endommagees(dossier_preferences_)) {
        preferences_gardees_ = false;
        afficher_message(dialogs_, *endommagees, nullptr);
    }
    GLB_Preferences() = dossier_preferences_.empty()
                            ? Preferences{}
                            : vellumor::lire_preferences(dossier_preferences_);
}

void Session::ecrire_preferences() {
    if (!preferences_gardees_) return;
    if (auto refus = vellumor::ecrire_preferences(dossier_preferences_, GLB_Preferences()))
        afficher_message(dialogs_, *refus, nullptr);
}

}  // namespace vellumor::app
