#pragma once

// The reconstitution panel's class and its run, shared by its layout
// (reconstitution_panel_layout.cpp) and its events (reconstitution_panel.cpp).
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>
#include <QTreeWidget>
#include <atomic>
#include <filesystem>

#include "app/champ_numerique.h"
#include "app/colours.h"
#include "app/controls.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/originaux_menu.h"
#include "app/panels/launchers.h"
#include "app/panels/reconstitution_ids.h"
#include "app/static_colours.h"
#include "app/themed_button.h"
#include "app/window_progress.h"
#include "app/windows/exceptions_window.h"
#include "batch/originaux.h"
#include "batch/png_io.h"
#include "imagelist/image_list.h"
#include "ops/exceptions/page_exception.h"
#include "ops/reconstitution/execution.h"
#include "ops/reconstitution/reconstitution_constants.h"
#include "ops/reconstitution/repartition.h"
#include "ops/reconstitution/textes.h"
#include "settings/preferences.h"

namespace vellumor::app {
namespace reconstitution_panneau {

namespace rc = vellumor::reconstitution;

inline constexpr Couleur kFondBarreReconstitution = 0xB0ECBC;
inline constexpr int kLargeurSpin = 60, kHauteurSpin = 20;
inline constexpr int kHauteurCadre = 135;

inline Preferences& prefs() {
    return GLB_Preferences();
}

// One reconstitution run over window 1's list: both workers report through the window; a worker
// that cannot build its blank page ends the run without its done event, which the run tells its
// panel as an abandon once both workers have ended.
class ExecutionReconstitution : public Execution {
  public:
    ExecutionReconstitution(FenetrePrincipale& f, rc::Parametres p,
                            std::shared_ptr<const std::atomic<int>> format)
        : f_(f),
          format_(std::move(format)),
          exceptions_(exceptions::GLB_Exceptions_Liste()),
          lignes_(lignes_de_la_liste(f)),
          progression_(f),
          core_(GLB_Fichiers_Images(), std::move(p), exceptions_, lignes_, progression_,
                format_.get()) {
        core_.garder_originaux(&originaux_);
    }
    ~ExecutionReconstitution() override {
        core_.arreter();
        core_.attendre();
        for (int n : kEvenements) f_.sur_evenement(int(n), {});
    }

    bool demarrer() override {
        for (std::int64_t n : kEvenements) f_.sur_evenement(int(n), [this, n] { recevoir(n); });
        if (auto refus = core_.demarrer()) {
            for (std::int64_t n : kEvenements) f_.sur_evenement(int(n), {});
            afficher_message(f_.dialogs(), *refus, &f_);
            return false;
        }
        return true;
    }
    void demander_arret() override { core_.arreter(); }
    void attendre() override { core_.attendre(); }
    std::vector<std::filesystem::path> dossiers_originaux() const override {
        return originaux_.dossiers();
    }

  private:
    static constexpr std::int64_t kAbandon = rc::kDescription.evenement_controle + 0x100;
    static constexpr std::int64_t kEvenements[] = {rc::kDescription.evenement_fin_paire,
                                                   rc::kDescription.evenement_fin_impaire,
                                                   rc::kDescription.evenement_controle, kAbandon};

    // The window's reports, and a worker's blank-page failure counted as its end.
    class Progression : public ProgressionFenetre {
      public:
        using ProgressionFenetre::ProgressionFenetre;
        void message(const Message& m) override {
            ProgressionFenetre::message(m);
            if (m == rc::message_page_vierge(true) || m == rc::message_page_vierge(false))
                evenement_fin(kAbandon);
        }
    };

    void recevoir(std::int64_t n) {
        if (n == kAbandon) abandon_ = true;
        if (n != rc::kDescription.evenement_controle) {
            ++fins_;
            f_.poster(int(rc::kDescription.evenement_controle));
        } else if (fins_ == 2) {
            fins_ = 0;
            if (abandon_)
                signaler_abandon();
            else {
                originaux_.terminer();
                signaler_fin();
            }
        }
    }

    FenetrePrincipale& f_;
    std::shared_ptr<const std::atomic<int>> format_;
    exceptions::PageExceptionList exceptions_;  // the run list as it stood at the launch
    LignesFixes lignes_;
    Progression progression_;
    int fins_ = 0;
    bool abandon_ = false;
    Originaux originaux_{kOperationReconstitution};  // each page kept before it is replaced
    rc::Reconstitution core_;  // declared last: its threads end before the rest goes
};

// The reconstitution panel: the list shrunk to half its height, the offsets, the unit, the
// blank-page formats and the blank-page file below it; 37 launches, 38 and 39 handle the page
// exceptions, 60 stops a run or leaves.
class PanneauReconstitution : public Panneau {
  public:
    explicit PanneauReconstitution(FenetrePrincipale& f) : Panneau(f) {
        fond_barre = kFondBarreReconstitution;
        boutons_barre = {kReconstituer, kAjouterExceptions, kSupprimerExceptions, kAnnuler};
    }

  protected:
    void construire() override;
    void ouvert() override;
    void traiter(int numero, TypeEvenement type) override;
    void rendre() override;
    void execution_terminee() override { terminer(true); }
    void execution_abandonnee() override { terminer(false); }

  private:
    QSize taille_texte(const char* texte, const QFont& police) const {
        const QSize t = taille_ou_defaut(mesurer_texte(&police, texte_utf8(texte)));
        return {t.width() + 30, t.height()};
    }
    template <class W>
    W* legende(int numero, const char* texte, const QPoint& ou, const QFont& police);
    QSpinBox* champ(int numero, std::int64_t valeur);
    void construire_cadres(const QRect& sous);
    void construire_formats(const QRect& texte);
    void fenetre_parcourir(const QRect& a_cote_de);
    void coins_depuis_bits();

    int format_courant();
    void choisir_image_vierge();
    void afficher_nom_image_vierge();
    void case_offset(int boite, int spin, std::int64_t bit);
    void changement_decalage(int numero);
    void demarrer();
    bool page_vierge_prete();
    void activer_parametres(bool actif);
    void terminer(bool avec_message);

    QButtonGroup* formats_ = nullptr;
    QPointer<QWidget> parcourir_;
    std::shared_ptr<std::atomic<int>> format_ = std::make_shared<std::atomic<int>>(29);
    bool arret_ = false;
};

template <class W>
W* PanneauReconstitution::legende(int numero, const char* texte, const QPoint& ou,
                                  const QFont& police) {
    auto* w = creer<W>(numero, texte_utf8(texte));
    w->setFont(police);
    w->setGeometry(QRect(ou, taille_texte(texte, police)));
    appliquer_couleur_statique(w);
    if constexpr (std::is_base_of_v<QAbstractButton, W>) relayer_clics(w, numero);
    w->show();
    return w;
}

}  // namespace reconstitution_panneau
}  // namespace vellumor::app
