#include "cli/page_options.h"

#include <cctype>
#include <charconv>
#include <set>
#include <system_error>

#include "common/regular_file.h"
#include "cli/terminal_progress.h"
#include "imagelist/list_file.h"

namespace vellumor::cli {
namespace {

std::optional<std::uint64_t> entier(const std::string& s) {
    std::uint64_t v = 0;
    const auto [fin, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || fin != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

std::optional<std::uint32_t> masque_des_motifs(const std::string& s) {
    std::uint32_t masque = 0;
    std::size_t debut = 0;
    while (debut <= s.size()) {
        const std::size_t virgule = std::min(s.find(',', debut), s.size());
        const auto n = entier(s.substr(debut, virgule - debut));
        if (!n || *n < 1 || *n > 7) return std::nullopt;
        masque |= 1u << (*n - 1);
        debut = virgule + 1;
    }
    return masque;
}

bool est_png(const std::filesystem::path& p) {
    std::string ext = p.extension().string();
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".png";
}

}  // namespace

AnalyseOptions analyser_options(const std::vector<std::string>& args, bool avec_masque) {
    AnalyseOptions a;
    OptionsPages& o = a.options;
    bool masque_donne = false;
    bool fin_options = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (fin_options || arg.empty() || arg[0] != '-' || arg == "-") {
            o.fichiers.emplace_back(arg);
            continue;
        }
        const auto valeur = [&]() -> const std::string* {
            if (i + 1 < args.size()) return &args[++i];
            a.erreur = "L'option " + arg + " attend une valeur";
            return nullptr;
        };
        if (arg == "--") {
            fin_options = true;
        } else if (arg == "--aide" || arg == "--help" || arg == "-h") {
            o.aide = true;
        } else if (arg == "--silencieux") {
            o.silencieux = true;
        } else if (arg == "--liste") {
            const std::string* v = valeur();
            if (!v) return a;
            if (o.liste) {
                a.erreur = "L'option --liste n'est acceptée qu'une fois";
                return a;
            }
            o.liste = *v;
        } else if (avec_masque && (arg == "--masque" || arg == "--motifs")) {
            const std::string* v = valeur();
            if (!v) return a;
            if (masque_donne) {
                a.erreur = "Donner --masque ou --motifs, une seule fois";
                return a;
            }
            masque_donne = true;
            if (arg == "--masque") {
                const auto n = entier(*v);
                if (!n) {
                    a.erreur = "Masque invalide : " + *v + " (un entier de 0 à 127 est attendu)";
                    return a;
                }
                o.masque = std::uint32_t(*n & 0x7F);
            } else {
                const auto m = masque_des_motifs(*v);
                if (!m) {
                    a.erreur = "Motifs invalides : " + *v +
                               " (des numéros de 1 à 7 séparés par des virgules sont attendus)";
                    return a;
                }
                o.masque = *m;
            }
        } else {
            a.erreur = "Option inconnue : " + arg;
            return a;
        }
    }
    return a;
}

ListeOuErreur construire_liste(const OptionsPages& options) {
    ListeOuErreur r;
    if (options.liste) {
        if (const OpenResult ouvert = open_regular_file(*options.liste);
            ouvert.error == OpenError::NotRegular) {
            r.erreur = "Fichier liste " + options.liste->string() + " refusé : " + ouvert.message;
            return r;
        }
        const LectureListe lecture = lire_fichier_liste(*options.liste);
        if (!lecture.ok) {
            r.erreur = "Fichier liste " + options.liste->string() + " refusé";
            if (lecture.message) r.erreur += " : " + message_sur_une_ligne(*lecture.message);
            return r;
        }
        r.liste = entrees_depuis_liste(lecture.fichiers);
    }
    ListeImages arguments;
    for (const std::filesystem::path& f : options.fichiers) {
        std::error_code ec;
        // A folder stands for its pages, unless it is named like a page itself: that one is an
        // error the user must see, not a folder to search.
        if (!std::filesystem::is_directory(f, ec) || est_png(f)) {
            arguments.push_back(entree_pour(f));
            continue;
        }
        for (const auto& e : std::filesystem::directory_iterator(f, ec))
            if (e.is_regular_file(ec) && est_png(e.path()))
                arguments.push_back(entree_pour(e.path()));
    }
    trier_par_numero(arguments);
    r.liste.insert(r.liste.end(), arguments.begin(), arguments.end());

    std::set<std::filesystem::path> vus;
    for (EntreeImage& e : r.liste) {
        std::error_code ec;
        const std::filesystem::path absolu = std::filesystem::absolute(e.Fichier, ec);
        if (!ec) e.Fichier = absolu.lexically_normal();
        const std::filesystem::path cle = std::filesystem::weakly_canonical(e.Fichier, ec);
        if (!vus.insert(ec ? e.Fichier : cle).second) {
            r.erreur = "Le fichier " + e.Fichier.string() + " est donné plusieurs fois";
            return r;
        }
    }
    if (r.liste.empty()) r.erreur = "Aucun fichier à traiter";
    return r;
}

}  // namespace vellumor::cli
