#include "app/panels/run_reports.h"

#include <QCoreApplication>
#include <QTreeWidget>
#include <memory>

#include "app/events.h"
#include "app/list_helpers.h"
#include "app/main_window.h"

namespace vellumor::app {
namespace {

void poster(QObject* destinataire, std::unique_ptr<RapportLot> e) {
    // The queue takes ownership of the event.
    QCoreApplication::postEvent(destinataire, e.release());
}

}  // namespace

QEvent::Type RapportLot::type_qt() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

std::unique_ptr<RapportLot> RapportLot::icone(std::int64_t ligne, int image) {
    auto r = std::make_unique<RapportLot>(Genre::Icone);
    r->ligne = ligne;
    r->image = image;
    return r;
}

std::unique_ptr<RapportLot> RapportLot::entete(const QString& texte) {
    auto r = std::make_unique<RapportLot>(Genre::Entete);
    r->texte = texte;
    return r;
}

std::unique_ptr<RapportLot> RapportLot::message(const Message& m) {
    auto r = std::make_unique<RapportLot>(Genre::Message);
    r->contenu = m;
    return r;
}

void RecepteurLot::customEvent(QEvent* event) {
    if (!cible_) return;
    if (event->type() == EvenementVellumor::type_qt()) {
        poster_evenement(cible_, static_cast<EvenementVellumor*>(event)->numero());
        return;
    }
    if (event->type() != RapportLot::type_qt()) return;
    const auto* r = static_cast<RapportLot*>(event);
    QTreeWidget* liste = f_.liste();
    switch (r->genre) {
        case RapportLot::Genre::Icone:
            definir_icone_ligne(f_, int(r->ligne), r->image);
            if (liste && r->ligne < liste->topLevelItemCount()) {
                liste->scrollToItem(liste->topLevelItem(int(r->ligne)));
                liste->viewport()->update();
            }
            break;
        case RapportLot::Genre::Entete:
            if (liste) liste->headerItem()->setText(0, r->texte);
            break;
        case RapportLot::Genre::Message:
            poster(cible_, RapportLot::message(r->contenu));
            break;
    }
}

void ProgressionPanneau::icone_ligne(std::int64_t ligne, int icone) {
    poster(&recepteur_, RapportLot::icone(ligne, icone));
}

void ProgressionPanneau::texte_entete(const std::string& texte) {
    poster(&recepteur_, RapportLot::entete(QString::fromStdString(texte)));
}

void ProgressionPanneau::evenement_fin(std::int64_t evenement) {
    poster_evenement(&recepteur_, int(evenement));
}

void ProgressionPanneau::message(const Message& m) {
    poster(&recepteur_, RapportLot::message(m));
}

}  // namespace vellumor::app
