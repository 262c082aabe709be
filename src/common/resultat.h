#pragma once

#include <string>
#include <utility>
#include <variant>

namespace vellumor {

// Why a core function failed, in French, ready to be shown to the user as it is.
struct Echec {
    std::string raison;
};

// What every core function that can fail returns: its value, or the Echec that says why. A result
// left unread does not compile (the build turns unused results into errors).
//     Resultat<std::string> r = lire_tout(fichier, limite);
//     if (!r) return Echec{r.raison()};
template <typename T>
class [[nodiscard]] Resultat {
  public:
    Resultat(T valeur) : etat_(std::in_place_index<0>, std::move(valeur)) {}
    Resultat(Echec echec) : etat_(std::in_place_index<1>, std::move(echec)) {}

    bool ok() const { return etat_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    T& valeur() & { return std::get<0>(etat_); }
    const T& valeur() const& { return std::get<0>(etat_); }
    T&& valeur() && { return std::get<0>(std::move(etat_)); }
    T& operator*() & { return valeur(); }
    const T& operator*() const& { return valeur(); }
    T* operator->() { return &valeur(); }
    const T* operator->() const { return &valeur(); }

    // Only when !ok().
    const std::string& raison() const { return std::get<1>(etat_).raison; }

  private:
    std::variant<T, Echec> etat_;
};

// A function that can fail and has nothing to give back: Reussite{} or an Echec.
struct Reussite {};
using Verdict = Resultat<Reussite>;

}  // namespace vellumor
