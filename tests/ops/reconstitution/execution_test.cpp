#include "ops/reconstitution/execution.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "batch/lot_fichiers.h"
#include "batch/png_io.h"
#include "imagelist/image_list.h"
#include "ops/reconstitution/repartition.h"
#include "ops/reconstitution/textes.h"
#include "support/temp_dir.h"

namespace vellumor::reconstitution {
namespace {

using test::read_bytes;
using test::TempDir;

const exceptions::PageExceptionList kAucune;

// Records every report of a run; optional hooks let a test act at a given moment.
class Enregistreur : public Progression {
  public:
    void icone_ligne(std::int64_t ligne, int icone) override {
        std::lock_guard g(m_);
        icones[ligne].push_back(icone);
        if (apres_icone) apres_icone(ligne, icone);
    }
    void texte_entete(const std::string& texte) override {
        std::lock_guard g(m_);
        entetes.push_back(texte);
    }
    void evenement_fin(std::int64_t evenement) override {
        std::lock_guard g(m_);
        evenements.insert(evenement);
    }
    void fichier_commence(const std::filesystem::path& fichier) override {
        if (au_debut) au_debut(fichier);
    }
    void fichier_fini(const std::filesystem::path& fichier, IssueFichier issue,
                      const std::string&) override {
        std::lock_guard g(m_);
        issues[fichier.filename().string()] = issue;
    }
    void message(const Message& m) override {
        std::lock_guard g(m_);
        messages.push_back(m);
    }

    std::map<std::int64_t, std::vector<int>> icones;
    std::vector<std::string> entetes;
    std::set<std::int64_t> evenements;
    std::map<std::string, IssueFichier> issues;
    std::vector<Message> messages;
    std::function<void(const std::filesystem::path&)> au_debut;
    std::function<void(std::int64_t, int)> apres_icone;

  private:
    std::mutex m_;
};

// A white w x h page with a black w_encre x h_encre box at its top-left corner, saved as 24-bit
// PNG.
void ecrire_page(const std::filesystem::path& f, int w, int h, int w_encre, int h_encre) {
    Image page = *Image::create(w, h, 24, kWhite);
    page.fill_box(0, 0, w_encre, h_encre, kBlack);
    ASSERT_TRUE(save_png(page, f, 24));
}

struct Lot {
    ListeImages liste;
    LignesFixes lignes{{}};
};

Lot lot_de(const TempDir& dir, std::initializer_list<const char*> noms) {
    Lot l;
    std::vector<std::string> textes;
    for (const char* n : noms) {
        l.liste.push_back(entree_pour(dir / n));
        textes.push_back(n);
    }
    l.lignes = LignesFixes(textes);
    return l;
}

// Format 34 on a small chosen blank page keeps these runs fast; the placement rules are the same.
Parametres petit_format(const TempDir& dir, int w = 100, int h = 80) {
    Image vierge = *Image::create(w, h, 24, couleur(200, 10, 10));
    EXPECT_TRUE(save_png(vierge, dir / "vierge.png", 24));
    Parametres p;
    p.format = kFormatFichier;
    p.page_vierge = dir / "vierge.png";
    return p;
}

Image charger(const std::filesystem::path& f) {
    LoadResult r = load_png(f);
    EXPECT_TRUE(r) << f;
    return r ? std::move(*r.image) : Image();
}

// The black box of a page, as found on the reconstituted page.
struct Boite {
    int x0 = -1, y0 = -1, x1 = -1, y1 = -1;
    bool operator==(const Boite&) const = default;
};
Boite encre(const Image& im) {
    Boite b;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if (im.pixel(x, y) != kWhite) {
                if (b.x0 < 0 || x < b.x0) b.x0 = x;
                if (b.y0 < 0) b.y0 = y;
                b.x1 = std::max(b.x1, x);
                b.y1 = y;
            }
    return b;
}

TEST(Execution, FacingPagesOnTheirBindingEdgesAndEachOnAWhitePage) {
    TempDir dir;
    ecrire_page(dir / "p1.png", 40, 20, 40, 20);
    ecrire_page(dir / "p2.png", 40, 20, 40, 20);
    ecrire_page(dir / "p4.png", 10, 10, 10, 10);
    Lot l = lot_de(dir, {"p1.png", "p2.png", "p4.png"});
    Parametres p = petit_format(dir);
    p.bits = kBitReliure | kBitHaut | kCoinHautGauche;
    p.decalage_reliure = 1;  // 23.62 pixels
    p.decalage_haut = 1;
    Enregistreur e;
    Reconstitution r(l.liste, p, kAucune, l.lignes, e);
    ASSERT_FALSE(r.demarrer());
    r.attendre();
    EXPECT_EQ(r.fin(), FinReconstitution::Terminee);

    const Image p1 = charger(dir / "p1.png");
    EXPECT_EQ(p1.width(), 100);
    EXPECT_EQ(p1.height(), 80);
    EXPECT_EQ(p1.file_depth(), 8);
    EXPECT_EQ(p1.resolution(), resolution_from_dpi(600));
    EXPECT_EQ(encre(p1), (Boite{24, 24, 63, 43}));                       // odd: from the left
    EXPECT_EQ(encre(charger(dir / "p2.png")), (Boite{36, 24, 75, 43}));  // even: from the right
    // The second page of the even worker starts on a white page: nothing of p2 is left.
    EXPECT_EQ(encre(charger(dir / "p4.png")), (Boite{66, 24, 75, 33}));

    for (std::int64_t ligne = 0; ligne < 3; ++ligne)
        EXPECT_EQ(e.icones[ligne], (std::vector<int>{kIconeEnCours, kIconeFait})) << ligne;
    EXPECT_EQ(e.evenements, (std::set<std::int64_t>{kDescription.evenement_fin_paire,
                                                    kDescription.evenement_fin_impaire}));
    EXPECT_EQ(e.entetes.back(), " 3 fichiers :  (Fichiers traités : 3/3)");
    EXPECT_TRUE(e.messages.empty());
}

TEST(Execution, AligningLeftAndTheTopRightCornerMoveTheEvenPages) {
    TempDir dir;
    Parametres p = petit_format(dir);
    p.bits = kBitReliure | kCoinHautGauche;
    p.decalage_reliure = 1;
    for (const auto& [aligner, coin, x_pair, x_impair] :
         {std::tuple{true, kCoinHautGauche, 24, 24}, std::tuple{false, kCoinHautDroit, 24, 36}}) {
        ecrire_page(dir / "p1.png", 40, 20, 40, 20);
        ecrire_page(dir / "p2.png", 40, 20, 40, 20);
        Lot l = lot_de(dir, {"p1.png", "p2.png"});
        p.aligner_a_gauche = aligner;
        p.bits = kBitReliure | coin;
        Enregistreur e;
        Reconstitution r(l.liste, p, kAucune, l.lignes, e);
        ASSERT_FALSE(r.demarrer());
        r.attendre();
        EXPECT_EQ(encre(charger(dir / "p2.png")).x0, x_pair) << aligner;
        EXPECT_EQ(encre(charger(dir / "p1.png")).x0, x_impair) << aligner;
    }
}

TEST(Execution, AnExceptionReplacesThePanelOffsetsOfItsPageOnly) {
    TempDir dir;
    ecrire_page(dir / "scan_012.png", 40, 20, 40, 20);
    ecrire_page(dir / "scan_014.png", 40, 20, 40, 20);
    Lot l = lot_de(dir, {"scan_012.png", "scan_014.png"});
    Parametres p = petit_format(dir);
    p.bits = kBitReliure | kBitHaut | kCoinHautGauche;
    p.decalage_reliure = 1;
    p.decalage_haut = 1;
    const exceptions::PageExceptionList ex = {{3, 9, 9}, {12, 0, 0}, {12, 2, 2}};
    Enregistreur e;
    Reconstitution r(l.liste, p, ex, l.lignes, e);
    ASSERT_FALSE(r.demarrer());
    r.attendre();
    EXPECT_EQ(encre(charger(dir / "scan_012.png")), (Boite{60, 0, 99, 19}));
    EXPECT_EQ(encre(charger(dir / "scan_014.png")), (Boite{36, 24, 75, 43}));
}

TEST(Execution, NamesNotEndingInADigitRefuseTheWholeRun) {
    TempDir dir;
    ecrire_page(dir / "a1.png", 40, 20, 4, 4);
    ecrire_page(dir / "b.png", 40, 20, 4, 4);
    const std::string avant = read_bytes(dir / "a1.png");
    Lot l = lot_de(dir, {"a1.png", "b.png"});
    Enregistreur e;
    Reconstitution r(l.liste, petit_format(dir), kAucune, l.lignes, e);
    const auto refus = r.demarrer();
    ASSERT_TRUE(refus);
    EXPECT_EQ(refus->texte, message_noms_refuses({"b.png"})->texte);
    r.attendre();
    EXPECT_EQ(r.fin(), FinReconstitution::Refusee);
    EXPECT_FALSE(message_de_fin(r.fin()));
    EXPECT_EQ(read_bytes(dir / "a1.png"), avant);
    EXPECT_TRUE(e.evenements.empty());
    EXPECT_TRUE(e.icones.empty());
}

TEST(Execution, AStopAfterTheFirstFileOfEachRecordLeavesTheOthersUntouched) {
    TempDir dir;
    const char* noms[] = {"p1.png", "p2.png", "p3.png", "p4.png", "p5.png", "p6.png"};
    for (const char* n : noms) ecrire_page(dir / n, 40, 20, 4, 4);
    std::map<std::string, std::string> avant;
    for (const char* n : noms) avant[n] = read_bytes(dir / n);
    Lot l = lot_de(dir, {"p1.png", "p2.png", "p3.png", "p4.png", "p5.png", "p6.png"});
    Enregistreur e;
    // A full-size blank page makes each save take a while, so that the second worker starts its
    // first file well before the first one is done with its own. The stop is asked then; the file
    // start is reported under the run's mutex, so neither worker may wait there for the other.
    Parametres p;
    p.format = kFormatBulletinNB;
    Reconstitution r(l.liste, p, kAucune, l.lignes, e);
    // On a loaded machine the first worker may finish several files before the second one starts
    // its first: the files started before the stop are the ones written, and no other is taken.
    std::set<std::thread::id> arrives;
    std::set<std::filesystem::path> commencees;
    e.au_debut = [&](const std::filesystem::path& f) {
        commencees.insert(f);
        if (arrives.insert(std::this_thread::get_id()).second && arrives.size() == 2) r.arreter();
    };
    ASSERT_FALSE(r.demarrer());
    r.attendre();
    EXPECT_EQ(r.fin(), FinReconstitution::Arretee);
    EXPECT_EQ(message_de_fin(r.fin())->texte, std::string("\n") + kTexteArretees);
    EXPECT_EQ(e.evenements, (std::set<std::int64_t>{kDescription.evenement_fin_paire,
                                                    kDescription.evenement_fin_impaire}));
    EXPECT_TRUE(commencees.count(dir / "p1.png") && commencees.count(dir / "p2.png"));
    const auto paires = std::count_if(commencees.begin(), commencees.end(), [&](const auto& f) {
        return Numero_Fin_Nom(f.stem().string()) % 2 == 0;
    });
    // The worker that started second took one file: the stop came with it.
    EXPECT_EQ(std::min<std::ptrdiff_t>(paires, std::ptrdiff_t(commencees.size()) - paires), 1);
    const auto ecrites = r.pages_ecrites();
    EXPECT_EQ(std::set<std::filesystem::path>(ecrites.begin(), ecrites.end()), commencees);
    for (const char* n : noms) {
        if (commencees.count(dir / n))
            EXPECT_NE(read_bytes(dir / n), avant[n]) << n;
        else
            EXPECT_EQ(read_bytes(dir / n), avant[n]) << n;
    }
    EXPECT_EQ(e.icones.size(), commencees.size());  // the other rows keep their waiting icon
    EXPECT_EQ(e.entetes.back(),
              " 6 fichiers :  (Fichiers traités : " + std::to_string(commencees.size()) + "/6)");
}

TEST(Execution, APageMovedEntirelyOffItsBlankPageIsNotWritten) {
    TempDir dir;
    // On the 100 x 80 blank page: 1 mm is 23.62 pixels, so 4 mm from the top puts a 20-pixel-high
    // page at y = 94 (off), while -1 mm from the binding edge leaves 16 of a 40-pixel-wide page's
    // columns on it.
    ecrire_page(dir / "p1.png", 40, 20, 40, 20);
    ecrire_page(dir / "p2.png", 40, 20, 40, 20);
    const std::string avant = read_bytes(dir / "p1.png");
    const struct {
        std::int64_t haut, reliure;
        IssueFichier issue;
    } cas[] = {{4, 0, IssueFichier::NonEcrit}, {0, -1, IssueFichier::Ecrit}};
    for (const auto& c : cas) {
        test::write_bytes(dir / "p1.png", avant);
        test::write_bytes(dir / "p2.png", avant);
        Lot l = lot_de(dir, {"p1.png", "p2.png"});
        Parametres p = petit_format(dir);
        p.bits = kBitHaut | kBitReliure | kCoinHautGauche;
        p.decalage_haut = c.haut;
        p.decalage_reliure = c.reliure;
        Enregistreur e;
        Reconstitution r(l.liste, p, kAucune, l.lignes, e);
        ASSERT_FALSE(r.demarrer());
        r.attendre();
        for (const char* n : {"p1.png", "p2.png"}) {
            EXPECT_EQ(e.issues[n], c.issue) << n << " " << c.haut;
            EXPECT_EQ(read_bytes(dir / n) == avant, c.issue == IssueFichier::NonEcrit) << n;
        }
        const bool ecrit = c.issue == IssueFichier::Ecrit;
        EXPECT_EQ(e.icones[0].back(), ecrit ? kIconeFait : kIconeEchec);
        EXPECT_EQ(r.pages_ecrites().size(), ecrit ? 2u : 0u);
        EXPECT_EQ(e.entetes.back(),
                  ecrit ? " 2 fichiers :  (Fichiers traités : 2/2)" : " 2 fichiers");
    }
}

TEST(Execution, TheThirdOfTenPagesFailingToLoadIsMarkedAndNotCounted) {
    TempDir dir;
    Lot l;
    std::vector<std::string> textes;
    for (int i = 1; i <= 10; ++i) {
        const std::string n = "page" + std::to_string(i) + ".png";
        if (i == 3)
            test::write_bytes(dir / n, "ceci n'est pas une image");
        else
            ecrire_page(dir / n, 30, 30, 5, 5);
        l.liste.push_back(entree_pour(dir / n));
        textes.push_back(n);
    }
    l.lignes = LignesFixes(textes);
    Enregistreur e;
    Reconstitution r(l.liste, petit_format(dir), kAucune, l.lignes, e);
    ASSERT_FALSE(r.demarrer());
    r.attendre();
    EXPECT_EQ(r.fin(), FinReconstitution::Terminee);
    EXPECT_EQ(read_bytes(dir / "page3.png"), "ceci n'est pas une image");
    EXPECT_EQ(e.icones[2], (std::vector<int>{kIconeEchec}));
    EXPECT_EQ(e.issues["page3.png"], IssueFichier::Echec);
    for (std::int64_t ligne : {0, 1, 3, 9}) EXPECT_EQ(e.icones[ligne].back(), kIconeFait) << ligne;
    EXPECT_EQ(e.entetes.back(), " 10 fichiers :  (Fichiers traités : 9/10)");
    EXPECT_EQ(charger(dir / "page10.png").width(), 100);
}

TEST(Execution, AFailedSaveMarksTheRowAndLeavesTheSourceIntact) {
    TempDir dir;
    ecrire_page(dir / "p1.png", 40, 20, 40, 20);
    const std::string avant = read_bytes(dir / "p1.png");
    Lot l = lot_de(dir, {"p1.png"});
    Parametres p = petit_format(dir);
    Enregistreur e;
    Reconstitution r(l.liste, p, kAucune, l.lignes, e);
    // No file may grow past 64 bytes while the run lasts: every save fails, even for root.
    rlimit ancienne{};
    getrlimit(RLIMIT_FSIZE, &ancienne);
    const auto ancien_signal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit petite = ancienne;
    petite.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &petite);
    ASSERT_FALSE(r.demarrer());
    r.attendre();
    setrlimit(RLIMIT_FSIZE, &ancienne);
    std::signal(SIGXFSZ, ancien_signal);

    EXPECT_EQ(read_bytes(dir / "p1.png"), avant);
    EXPECT_EQ(e.icones[0], (std::vector<int>{kIconeEnCours, kIconeEchec}));
    EXPECT_EQ(e.issues["p1.png"], IssueFichier::Echec);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(Execution, ABlankPageThatDoesNotLoadResetsTheRunWithoutTouchingAFile) {
    TempDir dir;
    ecrire_page(dir / "p1.png", 40, 20, 4, 4);
    ecrire_page(dir / "p2.png", 40, 20, 4, 4);
    const std::string avant = read_bytes(dir / "p1.png");
    test::write_bytes(dir / "vierge.png", "pas un png");
    Lot l = lot_de(dir, {"p1.png", "p2.png"});
    Parametres p;
    p.format = kFormatFichier;
    p.page_vierge = dir / "vierge.png";
    Enregistreur e;
    Reconstitution r(l.liste, p, kAucune, l.lignes, e);
    ASSERT_FALSE(r.demarrer());
    r.attendre();
    EXPECT_EQ(r.fin(), FinReconstitution::PageVierge);
    EXPECT_FALSE(message_de_fin(r.fin()));
    EXPECT_EQ(read_bytes(dir / "p1.png"), avant);
    EXPECT_TRUE(e.evenements.empty());
    ASSERT_EQ(e.messages.size(), 2u);
    std::set<std::string> textes{e.messages[0].instruction, e.messages[1].instruction};
    EXPECT_EQ(textes, (std::set<std::string>{message_page_vierge(true).instruction,
                                             message_page_vierge(false).instruction}));
    EXPECT_EQ(e.icones[0].back(), kIconeEchec);
}

TEST(Execution, AnEmptyRecordEndsAtOnceAndTheRunStillCompletes) {
    TempDir dir;
    ecrire_page(dir / "p1.png", 40, 20, 4, 4);
    Lot l = lot_de(dir, {"p1.png"});
    Enregistreur e;
    Reconstitution r(l.liste, petit_format(dir), kAucune, l.lignes, e);
    ASSERT_FALSE(r.demarrer());
    r.attendre();
    EXPECT_EQ(r.fin(), FinReconstitution::Terminee);
    EXPECT_EQ(e.evenements, (std::set<std::int64_t>{kDescription.evenement_fin_paire,
                                                    kDescription.evenement_fin_impaire}));
    EXPECT_EQ(e.entetes.back(), " 1 fichier :  (Fichiers traités : 1/1)");
}

TEST(Execution, EachSaveTakesTheDepthOfTheFormatChosenAtThatMoment) {
    TempDir dir;
    ecrire_page(dir / "p1.png", 40, 20, 4, 4);
    Lot l = lot_de(dir, {"p1.png"});
    std::atomic<int> format{kFormatFichier};
    Enregistreur e;
    // The colour A4 option is chosen while the page is being drawn: the size stays, the depth
    // follows.
    e.apres_icone = [&](std::int64_t, int icone) {
        if (icone == kIconeEnCours) format = kFormatA4Couleur;
    };
    Reconstitution r(l.liste, petit_format(dir), kAucune, l.lignes, e, &format);
    ASSERT_FALSE(r.demarrer());
    r.attendre();
    const Image page = charger(dir / "p1.png");
    EXPECT_EQ(page.width(), 100);
    EXPECT_EQ(page.file_depth(), 24);
}

TEST(Execution, RealSizeBulletinPageIsCentredAt390And893) {
    TempDir dir;
    ecrire_page(dir / "scan_7.png", 3000, 4000, 3000, 4000);
    Lot l = lot_de(dir, {"scan_7.png"});
    Enregistreur e;
    Reconstitution r(l.liste, Parametres{}, kAucune, l.lignes, e);
    ASSERT_FALSE(r.demarrer());
    r.attendre();
    const Image page = charger(dir / "scan_7.png");
    EXPECT_EQ(page.width(), 3780);
    EXPECT_EQ(page.height(), 5787);
    EXPECT_EQ(page.file_depth(), 8);
    EXPECT_EQ(page.resolution(), resolution_from_dpi(600));
    EXPECT_EQ(page.pixel(390, 893), kBlack);
    EXPECT_EQ(page.pixel(389, 893), kWhite);
    EXPECT_EQ(page.pixel(390, 892), kWhite);
    EXPECT_EQ(page.pixel(3389, 4892), kBlack);
    EXPECT_EQ(page.pixel(3390, 4892), kWhite);
}

}  // namespace
}  // namespace vellumor::reconstitution
