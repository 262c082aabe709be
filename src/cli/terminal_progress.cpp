#include "cli/terminal_progress.h"

#include <cmath>

namespace vellumor::cli {

// A message on one line: its parts without their edge blanks, line breaks made blanks.
std::string message_sur_une_ligne(const Message& m) {
    std::string t;
    for (const std::string& brut : {m.titre, m.instruction, m.texte}) {
        std::string part;
        for (char c : brut) part += (c == '\r' || c == '\n') ? ' ' : c;
        const std::size_t a = part.find_first_not_of(' '), b = part.find_last_not_of(' ');
        if (a == std::string::npos) continue;
        if (!t.empty()) t += " : ";
        t += part.substr(a, b - a + 1);
    }
    return texte_affichable(t);
}

std::string texte_affichable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto escape = [&out](unsigned char c) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c < 0x20 || c == 0x7F) {
            escape(c);
        } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            escape(c);
            escape(next);
            ++i;
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += char(c);
        }
    }
    return out;
}

std::string texte_temps_restant(double secondes) {
    const long s = std::lround(std::max(0.0, secondes));
    char texte[64];
    if (s < 60)
        std::snprintf(texte, sizeof texte, "reste %ld s", s);
    else if (s < 3600)
        std::snprintf(texte, sizeof texte, "reste %ld min %02ld s", s / 60, s % 60);
    else
        std::snprintf(texte, sizeof texte, "reste %ld h %02ld min", s / 3600, s / 60 % 60);
    return texte;
}

ProgressionTerminal::ProgressionTerminal(std::FILE* out, std::FILE* err, std::int64_t total,
                                         bool barre, bool silencieux)
    : out_(out), err_(err), total_(total), barre_(barre && !silencieux), silencieux_(silencieux) {}

void ProgressionTerminal::texte_entete(const std::string& texte) {
    std::lock_guard g(garde_);
    entete_ = texte;
}

void ProgressionTerminal::fichier_commence(const std::filesystem::path& fichier) {
    std::lock_guard g(garde_);
    courant_ = texte_affichable(fichier.filename().string());
    dessiner();
}

void ProgressionTerminal::fichier_fini(const std::filesystem::path& fichier, IssueFichier issue,
                                       const std::string& raison) {
    std::lock_guard g(garde_);
    ++finis_;
    // The failure line names the file and its reason: the error box announcing it adds nothing.
    if (issue == IssueFichier::Echec) boite_en_attente_.clear();
    montrer_boite_en_attente();
    if (issue != IssueFichier::Ecrit) {
        if (barre_visible_) std::fputs("\r\033[K", err_);
        barre_visible_ = false;
        if (issue == IssueFichier::Echec) {
            ++echecs_;
            std::fprintf(err_, "%s\n",
                         texte_affichable(ligne_issue(fichier, issue, raison)).c_str());
        } else if (!silencieux_) {
            std::fprintf(out_, "%s\n",
                         texte_affichable(ligne_issue(fichier, issue, raison)).c_str());
            std::fflush(out_);
        }
    }
    dessiner();
}

void ProgressionTerminal::note_fichier(const std::filesystem::path& fichier, std::int64_t,
                                       const std::string& note) {
    if (silencieux_) return;
    std::lock_guard g(garde_);
    if (barre_visible_) std::fputs("\r\033[K", err_);
    barre_visible_ = false;
    std::fprintf(out_, "%s\n", texte_affichable(fichier.string() + " : " + note).c_str());
    std::fflush(out_);
}

void ProgressionTerminal::message(const Message& m) {
    if (silencieux_) return;
    std::lock_guard g(garde_);
    montrer_boite_en_attente();
    if (m.kind == Message::Kind::BoiteMessage && (m.style & 0xF0) == kIconeErreur) {
        boite_en_attente_ = message_sur_une_ligne(m);
        return;
    }
    if (barre_visible_) std::fputs("\r\033[K", err_);
    barre_visible_ = false;
    std::fprintf(err_, "%s\n", message_sur_une_ligne(m).c_str());
    dessiner();
}

void ProgressionTerminal::montrer_boite_en_attente() {
    if (boite_en_attente_.empty()) return;
    if (barre_visible_) std::fputs("\r\033[K", err_);
    barre_visible_ = false;
    std::fprintf(err_, "%s\n", boite_en_attente_.c_str());
    boite_en_attente_.clear();
}

void ProgressionTerminal::dessiner() {
    if (!barre_ || total_ <= 0) return;
    constexpr int kLargeur = 30;
    const int pleins = int(std::min(finis_, total_) * kLargeur / total_);
    std::string barre(std::size_t(pleins), '#');
    barre.resize(kLargeur, '-');
    std::string reste = "reste : estimation en cours";
    if (finis_ > 0) {
        const double ecoule =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - debut_).count();
        reste = texte_temps_restant(ecoule / double(finis_) * double(total_ - finis_));
    }
    std::fprintf(err_, "\r\033[K[%s] %lld/%lld  %s  %s", barre.c_str(),
                 static_cast<long long>(finis_), static_cast<long long>(total_), courant_.c_str(),
                 reste.c_str());
    std::fflush(err_);
    barre_visible_ = true;
}

void ProgressionTerminal::effacer_barre() {
    std::lock_guard g(garde_);
    montrer_boite_en_attente();
    if (barre_visible_) std::fputs("\r\033[K", err_);
    std::fflush(err_);
    barre_visible_ = false;
}

std::string ProgressionTerminal::dernier_entete() const {
    std::lock_guard g(garde_);
    return entete_;
}

std::int64_t ProgressionTerminal::echecs() const {
    std::lock_guard g(garde_);
    return echecs_;
}

std::int64_t ProgressionTerminal::traites() const {
    std::lock_guard g(garde_);
    return finis_ - echecs_;
}

}  // namespace vellumor::cli
