#pragma once

#include <QApplication>

namespace vellumor::app {

class Dialogs;

inline const QString kTexteErreurInattendue = QStringLiteral(
    "Une erreur inattendue a arrêté l'action en cours : %1\r\nLes pages déjà écrites le restent ; "
    "les autres n'ont pas été touchées.");

// The program's QApplication: an exception that a handler lets escape stops at the event it came
// with and is told to the user in a box, instead of ending the program.
class Application : public QApplication {
  public:
    Application(int& argc, char** argv) : QApplication(argc, argv) {}
    // Where the box is shown; nullptr: nowhere (the event is still dropped, the program goes on).
    void signaler_par(Dialogs* dialogs) { dialogs_ = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    void signaler(const QString& raison);
    Dialogs* dialogs_ = nullptr;
};

}  // namespace vellumor::app
