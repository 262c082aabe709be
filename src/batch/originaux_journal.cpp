#include "batch/originaux_journal.h"

#include <charconv>
#include <map>

namespace vellumor {
namespace {

constexpr std::string_view kEntete1 = "Vellumor originaux 1";
constexpr std::string_view kEntete2 = "Vellumor originaux 2";

// Tabs and line ends in a name would break the journal's lines.
std::string echapper(std::string_view s) {
    std::string r;
    for (char c : s) {
        if (c == '\\')
            r += "\\\\";
        else if (c == '\t')
            r += "\\t";
        else if (c == '\n')
            r += "\\n";
        else
            r += c;
    }
    return r;
}

std::string desechapper(std::string_view s) {
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            r += s[i];
            continue;
        }
        const char c = s[++i];
        r += c == 't' ? '\t' : c == 'n' ? '\n' : c;
    }
    return r;
}

std::vector<std::string> champs(std::string_view ligne) {
    std::vector<std::string> r;
    for (;;) {
        const std::size_t tab = ligne.find('\t');
        r.push_back(desechapper(ligne.substr(0, tab)));
        if (tab == std::string_view::npos) return r;
        ligne.remove_prefix(tab + 1);
    }
}

template <typename T>
bool nombre(const std::string& texte, T& valeur) {
    const char* fin = texte.data() + texte.size();
    const auto [p, ec] = std::from_chars(texte.data(), fin, valeur);
    return !texte.empty() && ec == std::errc() && p == fin;
}

// The page a line of either format names, by its plain name; empty when it names none of
// dossier_pages.
std::string nom_de_page(const std::string& champ, bool ancien,
                        const std::filesystem::path& dossier) {
    if (!ancien) return nom_simple(champ) ? champ : std::string();
    const std::filesystem::path p = std::filesystem::path(champ).lexically_normal();
    const std::string nom = p.filename().string();
    if (!p.is_absolute() || p.parent_path() != dossier.lexically_normal() || !nom_simple(nom))
        return {};
    return nom;
}

struct Lecteur {
    explicit Lecteur(const std::filesystem::path& d) : dossier(d) {}
    const std::filesystem::path& dossier;
    bool ancien = false;
    ExecutionGardee e;
    std::map<std::string, std::size_t> index;
    std::vector<std::size_t> restaurees;

    // Empty when the line is read, else why it is refused.
    std::string lire(std::string_view ligne) {
        const std::vector<std::string> c = champs(ligne);
        const std::string& cle = c[0];
        if (cle == "operation" && c.size() == 2) {
            e.operation = c[1];
        } else if (cle == "date" && c.size() == 2) {
            e.date = c[1];
        } else if (cle == "debut" && c.size() == 2) {
            if (!nombre(c[1], e.debut_ns)) return "date de début illisible";
        } else if (cle == "fin" && c.size() == 1) {
            e.finie = true;
        } else if (cle == "garde" && c.size() == (ancien ? 3u : 2u)) {
            const std::string nom = nom_de_page(c[1], ancien, dossier);
            if (nom.empty() || (ancien && c[2] != nom))
                return "la page « " + c[1] + " » n'est pas un fichier de son dossier";
            if (!index.emplace(nom, e.pages.size()).second) return "page « " + nom + " » en double";
            e.pages.push_back({nom, std::nullopt});
        } else if (cle == "resultat" && c.size() == 5) {
            const auto i = index.find(nom_de_page(c[1], ancien, dossier));
            Empreinte m;
            if (i == index.end()) return "résultat d'une page qui n'est pas gardée";
            if (!nombre(c[2], m.taille) || !nombre(c[3], m.crc) || !nombre(c[4], m.adler))
                return "résultat illisible";
            e.pages[i->second].resultat = m;
        } else if (cle == "restauree" && c.size() == 2) {
            const auto i = index.find(nom_de_page(c[1], ancien, dossier));
            if (i == index.end()) return "restauration d'une page qui n'est pas gardée";
            restaurees.push_back(i->second);
        } else {
            return "ligne inconnue";
        }
        return {};
    }
};

}  // namespace

bool nom_simple(std::string_view nom) {
    return !nom.empty() && nom.size() <= 255 && nom != "." && nom != ".." &&
           nom.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

JournalLu lire_journal(std::string_view texte, const std::filesystem::path& dossier_pages) {
    JournalLu r;
    Lecteur l(dossier_pages);
    std::size_t numero = 0;
    while (true) {
        const std::size_t fin = texte.find('\n');
        // The last line without its end was cut by a kill: the run had not done that step.
        if (fin == std::string_view::npos) break;
        const std::string_view ligne = texte.substr(0, fin);
        texte.remove_prefix(fin + 1);
        ++numero;
        std::string refus;
        if (ligne.size() > kLigneMaxJournal)
            refus = "ligne trop longue";
        else if (numero == 1)
            refus = ligne == kEntete2   ? ""
                    : ligne == kEntete1 ? (l.ancien = true, "")
                                        : "en-tête inconnu";
        else
            refus = l.lire(ligne);
        if (!refus.empty()) {
            r.erreur = "ligne " + std::to_string(numero) + " : " + refus;
            return r;
        }
    }
    if (numero == 0) {
        r.erreur = "journal vide";
        return r;
    }
    ExecutionGardee& e = l.e;
    std::vector<bool> ote(e.pages.size(), false);
    for (std::size_t i : l.restaurees) ote[i] = true;
    std::vector<PageGardee> restent;
    for (std::size_t i = 0; i < e.pages.size(); ++i)
        if (!ote[i]) restent.push_back(std::move(e.pages[i]));
    e.pages = std::move(restent);
    r.execution = std::move(e);
    return r;
}

std::string entete_journal(const std::string& operation, const std::string& date,
                           std::int64_t debut_ns) {
    return std::string(kEntete2) + "\noperation\t" + echapper(operation) + "\ndate\t" +
           echapper(date) + "\ndebut\t" + std::to_string(debut_ns) + "\n";
}

std::string ligne_garde(const std::string& nom) {
    return "garde\t" + echapper(nom) + "\n";
}

std::string ligne_resultat(const std::string& nom, const Empreinte& e) {
    return "resultat\t" + echapper(nom) + "\t" + std::to_string(e.taille) + "\t" +
           std::to_string(e.crc) + "\t" + std::to_string(e.adler) + "\n";
}

std::string ligne_restauree(const std::string& nom) {
    return "restauree\t" + echapper(nom) + "\n";
}

std::string ligne_fin() {
    return "fin\n";
}

}  // namespace vellumor
