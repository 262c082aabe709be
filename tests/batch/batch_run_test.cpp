#include "batch/batch_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <map>
#include <set>
#include <stdexcept>
#include <thread>

#include "batch_recorder.h"
#include "imagelist/repartition_parite.h"
#include "support/temp_dir.h"
#include "support/waits.h"

namespace vellumor {
namespace {

using test::ProgressionEnregistree;
using Appel = ProgressionEnregistree::Appel;

const ConstantesLots kLots{"GLB_Fichier_Pair_Detourage", "GLB_Fichier_ImPair_Detourage", 0x10009,
                           0x1000A};

ListeImages liste_de(const std::vector<std::string>& noms) {
    ListeImages l;
    for (const std::string& n : noms) l.push_back(entree_pour("/pages/" + n));
    return l;
}

std::vector<std::string> noms_des_lignes(const ListeImages& l) {
    std::vector<std::string> r;
    for (const EntreeImage& e : l) r.push_back(e.Fichier.filename().string());
    return r;
}

// Pages that exist only in memory; names holding "casse" cannot be loaded.
LoadResult charger_en_memoire(const std::filesystem::path& p) {
    LoadResult r;
    if (p.filename().string().find("casse") != std::string::npos) {
        r.error = LoadError::Corrupt;
        r.message = "Fichier PNG endommagé";
        return r;
    }
    r.image = Image::create(4, 4, 24, kWhite);
    return r;
}

// A run over a list with a step, waited for to its end.
struct Banc {
    ListeImages liste;
    LignesFixes lignes;
    ProgressionEnregistree progression;
    std::optional<ExecutionLot> run;

    explicit Banc(const std::vector<std::string>& noms)
        : liste(liste_de(noms)), lignes(noms_des_lignes(liste)) {}
    Banc(const std::vector<std::string>& noms, std::vector<std::string> rows)
        : liste(liste_de(noms)), lignes(std::move(rows)) {}

    // The run over the list, not started yet.
    ExecutionLot& preparer() {
        Repartition r = repartir_par_parite(liste, kLots);
        ParametresExecution p;
        p.lignes = &lignes;
        p.progression = &progression;
        p.nombre_fichiers = std::int64_t(liste.size());
        return run.emplace(std::move(*r.lots), p);
    }

    void executer(EtapeFichier etape) {
        preparer();
        ASSERT_TRUE(run->demarrer([etape](Travailleur& t) { travail_standard(t, etape); }));
        ASSERT_TRUE(run->attendre_pour(std::chrono::seconds(20)));
        run->attendre();
    }
};

EtapeFichier etape_simple(std::function<ResultatPage(PageEnCours&)> traiter = nullptr) {
    EtapeFichier e;
    e.charger = charger_en_memoire;
    e.traiter = traiter ? traiter : [](PageEnCours&) { return ResultatPage{}; };
    e.erreur_premiere_ligne = "Erreur détection First_ListIndex";
    return e;
}

TEST(ExecutionLot, OneFailingFileOfTenIsNotCounted) {
    Banc b({"p_1.png", "p_2.png", "p_3.png", "p_4.png", "casse_5.png", "p_6.png", "p_7.png",
            "p_8.png", "p_9.png", "p_10.png"});
    b.executer(etape_simple());
    EXPECT_EQ(b.run->compteur(), 9);
    const auto entetes = b.progression.entetes();
    ASSERT_FALSE(entetes.empty());
    EXPECT_EQ(entetes.back(), " 10 fichiers (Fichiers traités : 9/10)");
    EXPECT_EQ(entetes.front(), " 10 fichiers (Fichiers traités : 0/10)");
    // Two start headers (each with the counter as it stood), one per counted file; the counter
    // never goes back and takes each value from 1 to 9.
    ASSERT_EQ(entetes.size(), 2u + 9u);
    std::vector<int> valeurs;
    for (const std::string& e : entetes) {
        const std::string debut = " 10 fichiers (Fichiers traités : ";
        ASSERT_EQ(e.rfind(debut, 0), 0u) << e;
        valeurs.push_back(std::stoi(e.substr(debut.size())));
    }
    EXPECT_TRUE(std::is_sorted(valeurs.begin(), valeurs.end()));
    for (int k = 1; k <= 9; ++k) EXPECT_GE(std::count(valeurs.begin(), valeurs.end(), k), 1) << k;
    EXPECT_EQ(b.progression.icones(4), (std::vector<int>{kIconeEchec}));
    for (int ligne : {0, 1, 2, 3, 5, 9})
        EXPECT_EQ(b.progression.icones(ligne), (std::vector<int>{kIconeEnCours, kIconeFait}));
    int echecs = 0;
    for (const Appel& a : b.progression.appels())
        if (a.type == Appel::Fini && a.issue == IssueFichier::Echec) {
            ++echecs;
            EXPECT_EQ(a.fichier, "/pages/casse_5.png");
            EXPECT_EQ(a.texte, "Fichier PNG endommagé");
        }
    EXPECT_EQ(echecs, 1);
}

TEST(ExecutionLot, EachWorkerPostsItsDoneEventOnceAsItsLastReport) {
    Banc b({"p_1.png", "p_2.png", "p_3.png", "p_4.png"});
    b.executer(etape_simple());
    auto evenements = b.progression.evenements();
    std::sort(evenements.begin(), evenements.end());
    EXPECT_EQ(evenements, (std::vector<std::int64_t>{0x10009, 0x1000A}));
    std::map<std::thread::id, Appel::Type> dernier;
    for (const Appel& a : b.progression.appels()) dernier[a.fil] = a.type;
    ASSERT_EQ(dernier.size(), 2u);  // two worker threads, neither is this one
    EXPECT_EQ(dernier.count(std::this_thread::get_id()), 0u);
    for (const auto& [fil, type] : dernier) EXPECT_EQ(type, Appel::Fin);
}

TEST(ExecutionLot, SingleFileLeavesTheOddRecordEmptyAndStillWaitsForBoth) {
    Banc b({"page_12.png"});
    b.executer(etape_simple());
    EXPECT_EQ(b.progression.evenements().size(), 2u);
    EXPECT_EQ(b.progression.entetes().back(), " 1 fichier (Fichier traité : 1/1)");
    EXPECT_EQ(b.run->lots().impair.Fichiers.size(), 0u);
    EXPECT_EQ(b.progression.icones(0), (std::vector<int>{kIconeEnCours, kIconeFait}));
    // The empty record's worker posted at once, without touching the header.
    EXPECT_EQ(b.progression.entetes().size(), 2u);
}

TEST(ExecutionLot, EmptyListStartsBothWorkersWhichPostAtOnce) {
    Banc b(std::vector<std::string>{});
    b.executer(etape_simple());
    EXPECT_EQ(b.progression.evenements().size(), 2u);
    EXPECT_TRUE(b.progression.entetes().empty());
    EXPECT_EQ(b.run->compteur(), 0);
}

TEST(ExecutionLot, RowsAreRightWhenPageNumbersDoNotAlternate) {
    // Sorted list 2, 3, 4, 6, 8, 9: the even worker's files sit on rows 0, 2, 3, 4, not 0, 2, 4, 6.
    Banc b({"s_2.png", "s_3.png", "s_4.png", "s_6.png", "s_8.png", "s_9.png"});
    std::mutex garde;
    std::map<std::string, std::int64_t> ligne_vue;
    b.executer(etape_simple([&](PageEnCours& p) {
        std::lock_guard g(garde);
        ligne_vue[p.source.filename().string()] = p.travailleur.lot().First_ListIndex;
        return ResultatPage{};
    }));
    for (std::int64_t ligne = 0; ligne < 6; ++ligne)
        EXPECT_EQ(b.progression.icones(ligne), (std::vector<int>{kIconeEnCours, kIconeFait}))
            << "row " << ligne;
    EXPECT_EQ(ligne_vue["s_6.png"], 3);
    EXPECT_EQ(ligne_vue["s_8.png"], 4);
    EXPECT_EQ(ligne_vue["s_9.png"], 5);
    EXPECT_TRUE(b.progression.icones(6).empty());
}

TEST(ExecutionLot, FileOnNoRowIsProcessedAndCountedWithoutIcons) {
    // The rows shown are not those of the list: p_2.png stands on no row, p_1.png on row 0 only
    // by its name (its own row 0 says something else after the shift).
    Banc b({"p_1.png", "p_2.png"}, {"autre.png", "p_1.png"});
    b.executer(etape_simple());
    EXPECT_EQ(b.run->compteur(), 2);
    EXPECT_EQ(b.progression.icones(1), (std::vector<int>{kIconeEnCours, kIconeFait}));
    EXPECT_TRUE(b.progression.icones(0).empty());
    int boites = 0;
    for (const Appel& a : b.progression.appels())
        if (a.type == Appel::Boite) {
            ++boites;
            EXPECT_EQ(a.texte, "Erreur détection First_ListIndex");
        }
    EXPECT_EQ(boites, 1);  // only the even worker's first file is on no row
}

TEST(ExecutionLot, BothWorkersRunTheirPagesAtTheSameTime) {
    Banc b({"p_1.png", "p_2.png"});
    std::mutex garde;
    std::condition_variable cv;
    int dedans = 0;
    std::atomic<int> rencontres{0};
    b.executer(etape_simple([&](PageEnCours&) {
        std::unique_lock g(garde);
        ++dedans;
        cv.notify_all();
        // Each page waits for the other worker to be inside its own page too.
        if (cv.wait_for(g, std::chrono::seconds(5), [&] { return dedans == 2; })) ++rencontres;
        return ResultatPage{};
    }));
    EXPECT_EQ(rencontres.load(), 2);
}

TEST(ExecutionLot, FinalIconThenCounterStepForEachPageUnderTheMutex) {
    Banc b({"p_1.png", "p_2.png", "p_3.png"});
    std::atomic<bool> verrou_libre_pendant_page{true};
    b.executer(etape_simple([&](PageEnCours&) {
        // The page's pixel work runs without the lock: another thread gets it meanwhile (the other
        // worker may hold it for a moment, never for the length of this page).
        const Mutex m = b.run->mutex();
        auto pris = std::async(std::launch::async, [m] {
            return test::attendre_que([&m] { return m->try_lock() ? (m->unlock(), true) : false; },
                                      std::chrono::seconds(10));
        });
        if (!pris.get()) verrou_libre_pendant_page = false;
        return ResultatPage{kIconeSansMarge, IssueFichier::NonEcrit, "rien à couper", true};
    }));
    EXPECT_TRUE(verrou_libre_pendant_page.load());
    const auto appels = b.progression.appels();
    for (std::size_t i = 0; i < appels.size(); ++i) {
        if (appels[i].type != Appel::Icone || appels[i].icone != kIconeSansMarge) continue;
        ASSERT_LT(i + 2, appels.size());
        EXPECT_EQ(appels[i + 1].type, Appel::Entete);
        EXPECT_EQ(appels[i + 2].type, Appel::Fini);
        EXPECT_EQ(appels[i + 2].issue, IssueFichier::NonEcrit);
        EXPECT_EQ(appels[i].fil, appels[i + 1].fil);
    }
    EXPECT_EQ(b.progression.entetes().back(), " 3 fichiers (Fichiers traités : 3/3)");
}

TEST(ExecutionLot, StopLetsTheCurrentPageFinishAndLeavesTheRestWaiting) {
    Banc b({"p_2.png", "p_4.png", "p_6.png", "p_8.png"});
    std::atomic<int> pages{0};
    ExecutionLot* run = &b.preparer();
    EtapeFichier e = etape_simple([&](PageEnCours&) {
        ++pages;
        run->arreter();
        return ResultatPage{};
    });
    ASSERT_TRUE(run->demarrer([e](Travailleur& t) { travail_standard(t, e); }));
    run->attendre();
    EXPECT_EQ(pages.load(), 1);
    EXPECT_EQ(b.progression.icones(0), (std::vector<int>{kIconeEnCours, kIconeFait}));
    EXPECT_TRUE(b.progression.icones(1).empty());
    EXPECT_EQ(b.progression.evenements().size(), 2u);
}

TEST(ExecutionLot, WorkerThatThrowsStillPostsItsDoneEvent) {
    Banc b({"p_1.png", "p_2.png"});
    b.preparer();
    ASSERT_TRUE(b.run->demarrer([](Travailleur& t) {
        if (t.est_pair()) throw std::runtime_error("panne");
        t.poster_fin();
    }));
    b.run->attendre();
    EXPECT_EQ(b.progression.evenements().size(), 2u);
}

// The helpers that need the run's mutex cannot be called without the proof that it is held, and
// the proof cannot outlive the scope that took it.
template <typename T>
concept SansVerrou = requires(T& t) {
    t.icone(std::int64_t(0), 1);
}
|| requires(T& t) {
    t.compter_fichier();
}
|| requires(T& t) {
    t.debuter_entete();
}
|| requires(T& t) {
    t.ligne_du_fichier(std::size_t(0));
};
static_assert(!SansVerrou<Travailleur>);
static_assert(!std::is_copy_constructible_v<VerrouExecution>);
static_assert(!std::is_move_constructible_v<VerrouExecution>);

TEST(ExecutionLot, WorkerThatThrowsAnythingEndsItsRunWithAMessageAndItsDoneEvent) {
    struct PasUneException {};
    const std::vector<std::function<void()>> pannes = {
        [] { throw 42; },
        [] { throw PasUneException{}; },
        [] { throw std::runtime_error(""); },
        [] { throw std::bad_alloc(); },
    };
    for (const auto& panne : pannes) {
        Banc b({"p_1.png", "p_2.png", "p_3.png"});
        b.preparer();
        ASSERT_TRUE(b.run->demarrer([&panne](Travailleur& t) {
            {
                auto v = t.verrou();  // released on the way out
                t.debuter_entete(v);
            }
            if (!t.est_pair()) panne();
            auto v = t.verrou();
            t.compter_fichier(v);
            t.poster_fin();
        }));
        ASSERT_TRUE(b.run->attendre_pour(std::chrono::seconds(20)));
        b.run->attendre();
        std::vector<std::string> boites;
        for (const Appel& a : b.progression.appels())
            if (a.type == Appel::Boite) boites.push_back(a.texte);
        ASSERT_EQ(boites.size(), 1u);
        EXPECT_TRUE(boites[0].starts_with("Le traitement s'est arrêté sur une erreur : "))
            << boites[0];
        EXPECT_EQ(b.progression.evenements().size(), 2u);
        EXPECT_EQ(b.run->compteur(), 1);
    }
}

TEST(ExecutionLot, MutexLeftOutOfTheRegistryStillKeepsTheWorkersApart) {
    Banc b({"p_1.png", "p_2.png", "p_3.png", "p_4.png"});
    b.preparer();
    std::atomic<bool> partir{false};
    std::atomic<int> dedans{0};
    std::atomic<bool> ensemble{false};
    ASSERT_TRUE(b.run->demarrer([&](Travailleur& t) {
        while (!partir) std::this_thread::yield();
        for (int i = 0; i < 20; ++i) {
            auto v = t.verrou();
            if (++dedans > 1) ensemble = true;
            // Room for the other worker to get in, which a working mutex never lets it do.
            test::attendre_que([&] { return dedans.load() > 1; }, std::chrono::microseconds(200));
            --dedans;
        }
        t.poster_fin();
    }));
    // As if its registration had failed: the registry no longer knows the run's mutex.
    Mutex_Liberer(b.run->mutex());
    ASSERT_EQ(Mutex_Enregistrer(b.run->mutex(), 1), 0);
    partir = true;
    b.run->attendre();
    EXPECT_FALSE(ensemble.load());
    EXPECT_EQ(b.progression.evenements().size(), 2u);
}

TEST(ExecutionLot, CounterIsReadWhileAWorkerHoldsTheMutexForItsWholeList) {
    Banc b({"p_1.png", "p_2.png"});
    b.preparer();
    std::atomic<bool> tient{false}, lache{false};
    ASSERT_TRUE(b.run->demarrer([&](Travailleur& t) {
        if (!t.est_pair()) {
            t.poster_fin();
            return;
        }
        auto v = t.verrou();
        t.compter_fichier(v);
        tient = true;
        while (!lache) std::this_thread::yield();
        t.poster_fin();
    }));
    while (!tient) std::this_thread::yield();
    auto lu = std::async(std::launch::async, [&] { return b.run->compteur(); });
    const bool a_temps = lu.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    lache = true;  // a counter that waits for the mutex gets it now
    EXPECT_TRUE(a_temps);
    EXPECT_EQ(lu.get(), 1);
    b.run->attendre();
}

TEST(ExecutionLot, MutexIsRegisteredForTheRunAndReleasedWithIt) {
    Mutex m;
    {
        Banc b({"p_1.png"});
        b.executer(etape_simple());
        m = b.run->mutex();
        EXPECT_EQ(Mutex_Enregistrer(m, 1), 1);
    }
    EXPECT_EQ(Mutex_Enregistrer(m, 1), 0);
}

TEST(ExecutionLot, WorkerHoldingTheMutexForItsWholeListRunsAloneWithTheSameHelpers) {
    // The numbering way: each worker takes the mutex once and keeps it to its end.
    Banc b({"p_1.png", "p_2.png", "p_3.png", "p_4.png"});
    b.preparer();
    std::atomic<int> dedans{0};
    std::atomic<bool> ensemble{false};
    ASSERT_TRUE(b.run->demarrer([&](Travailleur& t) {
        auto v = t.verrou();
        if (++dedans > 1) ensemble = true;
        t.debuter_entete(v);
        for (std::size_t i = 0; i < t.lot().Fichiers.size(); ++i) {
            t.icone(v, t.ligne_du_fichier(v, i), kIconeFait);
            t.compter_fichier(v);
            test::attendre_que([&] { return dedans.load() > 1; }, std::chrono::milliseconds(2));
        }
        --dedans;
        t.poster_fin();
    }));
    b.run->attendre();
    EXPECT_FALSE(ensemble.load());
    EXPECT_EQ(b.progression.entetes().back(), " 4 fichiers (Fichiers traités : 4/4)");
    EXPECT_EQ(b.progression.icones(2), (std::vector<int>{kIconeFait}));
}

TEST(EnregistrerPage, FailedWriteGivesIconOneUncountedAndLeavesTheFileAsItWas) {
    test::TempDir dir;
    const auto cible = dir / "page_3.png";
    test::write_bytes(cible, "ancien contenu");
    Image page = *Image::create(3, 3, 24, kBlack);
    page.set_file_depth(16);  // a depth the writer does not take
    const ResultatPage r = enregistrer_page(page, cible, 0);
    EXPECT_EQ(r.icone, kIconeEchec);
    EXPECT_EQ(r.issue, IssueFichier::Echec);
    EXPECT_FALSE(r.compte);
    EXPECT_EQ(r.raison.rfind("Impossible d'écrire page_3.png", 0), 0u) << r.raison;
    EXPECT_EQ(test::read_bytes(cible), "ancien contenu");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    const ResultatPage ok = enregistrer_page(page, cible, 24);
    EXPECT_EQ(ok.icone, kIconeFait);
    EXPECT_TRUE(ok.compte);
    EXPECT_TRUE(load_png(cible));
}

}  // namespace
}  // namespace vellumor
