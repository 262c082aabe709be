#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>

#include "batch/message.h"
#include "batch/progress.h"

namespace vellumor::app {

class FenetrePrincipale;

// One report of a worker, carried to the main thread: a row's icon, the header's text or a
// message to show.
class RapportLot : public QEvent {
  public:
    enum class Genre { Icone, Entete, Message };
    static QEvent::Type type_qt();

    explicit RapportLot(Genre g) : QEvent(type_qt()), genre(g) {}
    static std::unique_ptr<RapportLot> icone(std::int64_t ligne, int image);
    static std::unique_ptr<RapportLot> entete(const QString& texte);
    static std::unique_ptr<RapportLot> message(const Message& m);

    Genre genre;
    std::int64_t ligne = -1;
    int image = 0;
    QString texte;
    Message contenu;
};

// Lives on the main thread while a run's workers report: paints row icons (the row scrolled into
// view) and the header of control 17 at once, and hands the done events and the messages on to
// its target, posted, so that a box shown for them never runs inside this receiver. Once detached
// it ignores every report.
class RecepteurLot : public QObject {
  public:
    RecepteurLot(FenetrePrincipale& f, QObject* cible) : f_(f), cible_(cible) {}
    void detacher() { cible_ = nullptr; }

  protected:
    void customEvent(QEvent* event) override;

  private:
    FenetrePrincipale& f_;
    QPointer<QObject> cible_;
};

// The workers' side of the GUI: every report is posted to the receiver, no widget is touched.
// The receiver must outlive the workers.
class ProgressionPanneau : public Progression {
  public:
    explicit ProgressionPanneau(RecepteurLot& recepteur) : recepteur_(recepteur) {}
    void icone_ligne(std::int64_t ligne, int icone) override;
    void texte_entete(const std::string& texte) override;
    void evenement_fin(std::int64_t evenement) override;
    void fichier_fini(const std::filesystem::path&, IssueFichier, const std::string&) override {}
    void message(const Message& m) override;

  private:
    RecepteurLot& recepteur_;
};

}  // namespace vellumor::app
