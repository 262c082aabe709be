#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "batch/progress.h"

namespace vellumor::test {

// Records every report of a run, in the order the workers made them.
class ProgressionEnregistree : public Progression {
  public:
    struct Appel {
        enum Type { Icone, Entete, Fin, Debut, Fini, Boite } type;
        std::int64_t ligne = -1;
        int icone = 0;
        std::string texte;
        std::filesystem::path fichier;
        IssueFichier issue = IssueFichier::Ecrit;
        std::int64_t evenement = 0;
        std::thread::id fil;
    };

    void icone_ligne(std::int64_t ligne, int icone) override {
        ajouter({Appel::Icone, ligne, icone, {}, {}, {}, 0, {}});
    }
    void texte_entete(const std::string& texte) override {
        ajouter({Appel::Entete, -1, 0, texte, {}, {}, 0, {}});
    }
    void evenement_fin(std::int64_t e) override { ajouter({Appel::Fin, -1, 0, {}, {}, {}, e, {}}); }
    void fichier_commence(const std::filesystem::path& f) override {
        ajouter({Appel::Debut, -1, 0, {}, f, {}, 0, {}});
    }
    void fichier_fini(const std::filesystem::path& f, IssueFichier issue,
                      const std::string& raison) override {
        ajouter({Appel::Fini, -1, 0, raison, f, issue, 0, {}});
    }
    void message(const Message& m) override {
        ajouter({Appel::Boite, -1, 0, m.texte, {}, {}, 0, {}});
    }

    std::vector<Appel> appels() const {
        std::lock_guard g(garde_);
        return appels_;
    }
    // Icons set on one row, in order.
    std::vector<int> icones(std::int64_t ligne) const {
        std::vector<int> r;
        for (const Appel& a : appels())
            if (a.type == Appel::Icone && a.ligne == ligne) r.push_back(a.icone);
        return r;
    }
    std::vector<std::string> entetes() const {
        std::vector<std::string> r;
        for (const Appel& a : appels())
            if (a.type == Appel::Entete) r.push_back(a.texte);
        return r;
    }
    std::vector<std::int64_t> evenements() const {
        std::vector<std::int64_t> r;
        for (const Appel& a : appels())
            if (a.type == Appel::Fin) r.push_back(a.evenement);
        return r;
    }

  private:
    void ajouter(Appel a) {
        a.fil = std::this_thread::get_id();
        std::lock_guard g(garde_);
        appels_.push_back(std::move(a));
    }
    mutable std::mutex garde_;
    std::vector<Appel> appels_;
};

}  // namespace vellumor::test
