#pragma once

#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <functional>
#include <thread>

#include "app/main_window.h"

namespace vellumor::app {

// Work on a thread of its own started from window 1's list (an export, an import): a child of
// window 1 that the shutdown stops and waits for, gone once its end has run on the main thread.
class TacheDeFond : public QObject {
  public:
    explicit TacheDeFond(FenetrePrincipale& f) : QObject(&f), f_(f) {
        attente_ = f.a_l_arret([this] { arreter(); });
    }
    ~TacheDeFond() override { arreter(); }

  protected:
    // Runs travail on the thread, then fin on the main thread, after the reports the work queued;
    // fin does not run when window 1 was closed meanwhile.
    void demarrer(std::function<void()> travail, std::function<void()> fin) {
        fil_ = std::thread([this, travail = std::move(travail), fin = std::move(fin)] {
            travail();
            QMetaObject::invokeMethod(
                this, [this, fin] { terminer(fin); }, Qt::QueuedConnection);
        });
    }
    // Asks the work to stop and waits for its thread. A derived class calls it first in its
    // destructor: the work may use its members.
    void arreter() {
        arret_.store(true);
        if (fil_.joinable()) fil_.join();
    }
    const std::atomic<bool>& arret() const { return arret_; }

    FenetrePrincipale& f_;

  private:
    void terminer(const std::function<void()>& fin) {
        arreter();
        f_.retirer_attente(attente_);
        deleteLater();
        if (!f_.fermeture_demandee()) fin();
    }

    std::atomic<bool> arret_{false};
    int attente_ = 0;
    std::thread fil_;
};

}  // namespace vellumor::app
