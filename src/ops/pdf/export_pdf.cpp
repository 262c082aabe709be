#include "ops/pdf/export_pdf.h"

#include <map>
#include <memory>
#include <new>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFSystemError.hh>
#include <qpdf/QPDFWriter.hh>
#include <vector>

#include "batch/lot_fichiers.h"
#include "batch/png_memory_reader.h"
#include "common/safe_replace.h"
#include "common/system_error.h"
#include "ops/pdf/flux_png.h"
#include "ops/pdf/page_pdf.h"
#include "ops/pdf/pdf_constants.h"
#include "ops/pdf/png_chunks.h"
#include "ops/pdf/png_rows.h"

namespace vellumor::pdf {
namespace {

using Objet = QPDFObjectHandle;

// A page as the export knows it before writing: its file and what its header said.
struct PageSource {
    std::filesystem::path fichier;
    DescriptionPng entete;
    ImagePdf image;
    FormatPage format;
};

// Samples a pixel and bytes a row of the picture as the document stores it.
int couleurs_pdf(const ImagePdf& im) {
    return im.espace == EspaceCouleur::Rvb ? 3 : 1;
}

// Ends the writing of the document; the temporary file is then removed.
struct ArretExport {};

std::string texte_page(const std::filesystem::path& f, const std::string& raison) {
    return "La page « " + f.string() + " » ne peut pas être lue : " + raison + ".";
}

// Gives each picture's data when the writer asks for it, in page order, and reports the pages.
class FournisseurPages : public Objet::StreamDataProvider {
  public:
    FournisseurPages(const std::vector<PageSource>& pages, Progression& progression,
                     const std::atomic<bool>* arret)
        : pages_(pages), progression_(progression), arret_(arret), fait_(pages.size(), false) {}

    void associer(QPDFObjGen og, std::size_t page) { pages_par_objet_[og] = page; }

    void provideStreamData(QPDFObjGen const& og, Pipeline* pipeline) override {
        const std::size_t i = pages_par_objet_.at(og);
        const PageSource& page = pages_[i];
        if (arret_ && arret_->load()) {
            interrompu_ = true;
            throw ArretExport{};
        }
        if (!fait_[i]) {
            progression_.fichier_commence(page.fichier);
            progression_.icone_ligne(std::int64_t(i), kIconeEnCours);
        }
        if (const Verdict v = ecrire(page, *pipeline); !v) {
            const std::string& raison = v.raison();
            erreur_ = texte_page(page.fichier, raison);
            progression_.icone_ligne(std::int64_t(i), kIconeEchec);
            progression_.fichier_fini(page.fichier, IssueFichier::Echec, raison);
            throw ArretExport{};
        }
        pipeline->finish();
        if (fait_[i]) return;
        fait_[i] = true;
        ++ecrites_;
        const auto n = std::int64_t(pages_.size());
        progression_.icone_ligne(std::int64_t(i), kIconeFait);
        progression_.texte_entete(texte_progression(n, ecrites_, n));
        progression_.fichier_fini(page.fichier, IssueFichier::Ecrit, {});
    }

    const std::string& erreur() const { return erreur_; }
    bool interrompu() const { return interrompu_; }
    bool toutes_ecrites() const { return ecrites_ == std::int64_t(pages_.size()); }

  private:
    // The picture data of one page, read again from its file and checked before any of it is
    // written.
    Verdict ecrire(const PageSource& page, Pipeline& pipeline) {
        const Resultat<PngDecoupe> png = decouper_png(page.fichier, true);
        if (!png) return Echec{png.raison()};
        if (!(png->entete == page.entete)) return Echec{"le fichier a changé pendant l'export"};
        const ImagePdf& im = page.image;
        if (im.donnees_telles_quelles) {
            if (Verdict v = verification_.verifier(png->donnees, page.entete); !v) return v;
            for (std::string_view d : png->donnees)
                pipeline.write(reinterpret_cast<const unsigned char*>(d.data()), d.size());
            return Reussite{};
        }
        const int couleurs = couleurs_pdf(im);
        const bool indexe =
            im.espace == EspaceCouleur::IndexeGris || im.espace == EspaceCouleur::IndexeRvb;
        CompressionPredite compression(
            (std::size_t(page.entete.largeur) * couleurs * im.bits + 7) / 8,
            indexe || im.bits < 8 ? 0 : couleurs * im.bits / 8,
            [&](const std::uint8_t* octets, std::size_t n) { pipeline.write(octets, n); });
        Verdict v = lignes_decodees(
            std::string_view(png->octets.data(), png->octets.size()), im,
            [&](const std::uint8_t* ligne, std::size_t) { compression.ligne(ligne); });
        if (v) compression.finir();
        return v;
    }

    const std::vector<PageSource>& pages_;
    Progression& progression_;
    const std::atomic<bool>* arret_;
    std::vector<bool> fait_;
    std::map<QPDFObjGen, std::size_t> pages_par_objet_;
    std::int64_t ecrites_ = 0;
    std::string erreur_;
    bool interrompu_ = false;
    VerificationFlux verification_;
};

Objet espace_couleur(const ImagePdf& image) {
    switch (image.espace) {
        case EspaceCouleur::Gris:
            return Objet::newName("/DeviceGray");
        case EspaceCouleur::Rvb:
            return Objet::newName("/DeviceRGB");
        default: {
            const bool gris = image.espace == EspaceCouleur::IndexeGris;
            const std::size_t entrees = image.table.size() / (gris ? 1 : 3);
            return Objet::newArray(
                {Objet::newName("/Indexed"), Objet::newName(gris ? "/DeviceGray" : "/DeviceRGB"),
                 Objet::newInteger(std::int64_t(entrees) - 1),
                 Objet::newString(std::string(image.table.begin(), image.table.end()))});
        }
    }
}

Objet reel(double v) {
    return Objet::newReal(nombre_pdf(v));
}

// Adds page to the document: its picture (data given later by fournisseur) and its content.
void ajouter_page(QPDF& pdf, const PageSource& page,
                  const std::shared_ptr<FournisseurPages>& fournisseur, std::size_t i) {
    const TaillePoints& taille = page.format.boite;
    const ImagePdf& im = page.image;
    Objet image = pdf.newStream();
    Objet dict = image.getDict();
    dict.replaceKey("/Type", Objet::newName("/XObject"));
    dict.replaceKey("/Subtype", Objet::newName("/Image"));
    dict.replaceKey("/Width", Objet::newInteger(page.entete.largeur));
    dict.replaceKey("/Height", Objet::newInteger(page.entete.hauteur));
    dict.replaceKey("/ColorSpace", espace_couleur(im));
    dict.replaceKey("/BitsPerComponent", Objet::newInteger(im.bits));
    // The PNG row filters, the file's own or chosen anew for decoded rows, are undone by the
    // reader: predictor 15 stands for all of them.
    Objet parametres = Objet::newDictionary();
    parametres.replaceKey("/Predictor", Objet::newInteger(15));
    parametres.replaceKey(
        "/Colors",
        Objet::newInteger(im.donnees_telles_quelles ? im.couleurs_png : couleurs_pdf(im)));
    parametres.replaceKey("/BitsPerComponent", Objet::newInteger(im.bits));
    parametres.replaceKey("/Columns", Objet::newInteger(page.entete.largeur));
    image.replaceStreamData(fournisseur, Objet::newName("/FlateDecode"), parametres);
    fournisseur->associer(image.getObjGen(), i);

    Objet ressources = Objet::newDictionary();
    Objet xobjets = Objet::newDictionary();
    xobjets.replaceKey("/Im0", image);
    ressources.replaceKey("/XObject", xobjets);
    Objet feuille = Objet::newDictionary();
    feuille.replaceKey("/Type", Objet::newName("/Page"));
    feuille.replaceKey("/MediaBox", Objet::newArray({Objet::newInteger(0), Objet::newInteger(0),
                                                     reel(taille.largeur), reel(taille.hauteur)}));
    feuille.replaceKey("/Resources", ressources);
    if (page.format.unite != 1)
        feuille.replaceKey("/UserUnit", Objet::newInteger(page.format.unite));
    feuille.replaceKey("/Contents", pdf.newStream(contenu_page(taille)));
    pdf.addPage(pdf.makeIndirectObject(feuille), false);
}

void ecrire_infos(QPDF& pdf, const std::filesystem::path& sortie) {
    Objet infos = Objet::newDictionary();
    infos.replaceKey("/Title", Objet::newUnicodeString(sortie.stem().string()));
    infos.replaceKey("/Producer", Objet::newUnicodeString(std::string(kProducer)));
    pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(infos));
}

// Why a page whose structure is sound cannot go into the document: a side a PDF reader does not
// take, or a picture whose decoding would pass the limit or that its data cannot fill (a few
// bytes declaring 30000 x 30000 pixels), judged before anything is allocated; the format when
// it can.
Resultat<FormatPage> format_accepte(const PngDecoupe& png, std::optional<int> dpi) {
    const DescriptionPng& e = png.entete;
    Resultat<FormatPage> format = format_page(e.largeur, e.hauteur, e.resolution, dpi);
    if (!format) return format;
    const std::uint64_t gonfle =
        inflated_size(e.largeur, e.hauteur, e.profondeur * echantillons_pixel(e), e.entrelace);
    if (Verdict v = declared_size_refusal(gonfle, gonfle, png.octets_donnees); !v)
        return Echec{v.raison()};
    return format;
}

// Looks at every page before anything is written: all unreadable pages are reported at once, the
// refusal naming each on its own line.
Resultat<std::vector<PageSource>> lire_pages(const ListeImages& liste, const ParametresPdf& p,
                                             Progression& progression) {
    std::vector<PageSource> pages;
    std::string erreur;
    for (std::size_t i = 0; i < liste.size(); ++i) {
        const std::filesystem::path& f = liste[i].Fichier;
        const Resultat<PngDecoupe> png = decouper_png(f, false);
        const Resultat<FormatPage> format =
            png ? format_accepte(*png, p.dpi) : Resultat<FormatPage>(Echec{png.raison()});
        if (!format) {
            const std::string& raison = format.raison();
            progression.icone_ligne(std::int64_t(i), kIconeEchec);
            progression.fichier_fini(f, IssueFichier::Echec, raison);
            erreur += (erreur.empty() ? "" : "\n") + texte_page(f, raison);
            continue;
        }
        pages.push_back({f, png->entete, image_pdf(png->entete), *format});
    }
    if (!erreur.empty()) return Echec{erreur};
    return pages;
}

// The end of qpdf's output: every byte into the writer's file, a failed write stopping the
// export at once.
class VersFichier : public Pipeline {
  public:
    explicit VersFichier(OutputFile& sortie) : Pipeline("sortie", nullptr), sortie_(sortie) {}
    void write(unsigned char const* data, size_t len) override {
        if (!sortie_.write(data, len)) throw QPDFSystemError("écriture", sortie_.error());
    }
    void finish() override {}

  private:
    OutputFile& sortie_;
};

ResultatPdf ecrire_document(const std::vector<PageSource>& pages, const ParametresPdf& p,
                            Progression& progression, const std::atomic<bool>* arret) {
    ResultatPdf r;
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.emptyPDF();
    auto fournisseur = std::make_shared<FournisseurPages>(pages, progression, arret);
    bool seize_bits = false, unite = false;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        ajouter_page(pdf, pages[i], fournisseur, i);
        seize_bits = seize_bits || pages[i].image.bits == 16;
        unite = unite || pages[i].format.unite != 1;
    }
    ecrire_infos(pdf, p.sortie);

    std::string raison, raison_ecriture;
    const bool ecrit = replace_file_safely(
        p.sortie,
        [&](OutputFile& sortie) {
            try {
                QPDFWriter w(pdf);
                VersFichier vers(sortie);
                w.setOutputPipeline(&vers);
                // Picture data already compressed is written as it is given.
                w.setDecodeLevel(qpdf_dl_none);
                w.setCompressStreams(true);
                if (seize_bits) w.setMinimumPDFVersion("1.5");
                if (unite) w.setMinimumPDFVersion("1.6");
                w.write();
                return fournisseur->toutes_ecrites();
            } catch (const ArretExport&) {
            } catch (const QPDFSystemError& e) {
                raison_ecriture = raison_systeme(e.getErrno());
            } catch (const std::bad_alloc&) {
                raison_ecriture = "mémoire insuffisante";
            } catch (const std::exception& e) {
                raison_ecriture = e.what();
            }
            return false;
        },
        &raison);
    r.interrompu = fournisseur->interrompu();
    if (ecrit) {
        r.ecrit = true;
        r.pages = std::int64_t(pages.size());
    } else if (!fournisseur->erreur().empty()) {
        r.erreur = fournisseur->erreur();
    } else if (!r.interrompu) {
        r.erreur = "Le document « " + p.sortie.string() + " » ne peut pas être écrit : " +
                   (raison_ecriture.empty() ? raison : raison_ecriture);
    }
    return r;
}

}  // namespace

Verdict valider(const ParametresPdf& p) {
    if (p.sortie.empty()) return Echec{"Aucun fichier PDF à écrire n'est donné"};
    if (p.dpi && (*p.dpi < kDpiMin || *p.dpi > kDpiMax))
        return Echec{"La résolution doit être comprise entre " + std::to_string(kDpiMin) + " et " +
                     std::to_string(kDpiMax) + " dpi"};
    return Reussite{};
}

ResultatPdf exporter_pdf(const ListeImages& liste, const ParametresPdf& p, Progression& progression,
                         const std::atomic<bool>* arret) {
    ResultatPdf r;
    if (const Verdict v = valider(p); !v) {
        r.erreur = v.raison();
        return r;
    }
    if (liste.empty()) {
        r.erreur = std::string(kEmptyListText);
        return r;
    }
    // A slip of the output name must not put the document in place of a page.
    std::error_code ec;
    for (const EntreeImage& e : liste) {
        if (std::filesystem::equivalent(e.Fichier, p.sortie, ec)) {
            r.erreur =
                "Le document PDF ne peut pas remplacer la page « " + e.Fichier.string() + " »";
            return r;
        }
    }
    const auto n = std::int64_t(liste.size());
    progression.texte_entete(texte_progression(n, 0, n));
    try {
        const Resultat<std::vector<PageSource>> pages = lire_pages(liste, p, progression);
        if (!pages) {
            r.erreur = pages.raison();
            return r;
        }
        return ecrire_document(*pages, p, progression, arret);
    } catch (const std::bad_alloc&) {
        r.erreur = "Mémoire insuffisante pour écrire « " + p.sortie.string() + " »";
    } catch (const std::exception& e) {
        r.erreur = "Le document « " + p.sortie.string() + " » ne peut pas être écrit : " + e.what();
    }
    return r;
}

}  // namespace vellumor::pdf
