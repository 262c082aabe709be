#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <string_view>

#include "app/dialogs.h"
#include "common/message.h"

namespace vellumor::app {

// The shield of a message's flags: 0x10 red, 0x30 yellow, 0x40 and 0x20 green, any other blue.
Bouclier bouclier_de(std::uint32_t style);

// A message's fields, each in its own place (no line feed separates them).
struct ChampsMessage {
    QString instruction{};
    QString details{};
    QString corps{};
    std::uint32_t style = 0;  // icon in bits 4 to 7, buttons in bits 0 to 3
    QString titre{};          // empty: the main window's
};

// The task dialog for a message: Yes/No when the low four bits of the style are 4 unless the icon
// is information; the title falls back to the main window's.
DialogueTache dialogue_pour(const ChampsMessage& m);
// The same for a text that packs its fields: up to the first line feed the details, between the
// first and the second the body; the rest is not shown.
DialogueTache dialogue_pour(const QString& instruction, const QString& texte, std::uint32_t style,
                            const QString& titre);

// Shows the message; returns 6 Yes, 7 No, 2 Cancel, 0 for OK or failure.
int Boite_Message(Dialogs& dialogs, const ChampsMessage& m, QWidget* parent);
int Boite_Message(Dialogs& dialogs, const QString& instruction, const QString& texte,
                  std::uint32_t style, QWidget* parent, const QString& titre = {});

// The plain box: the caller's flags unchanged; returns 1 OK, 6 Yes, 7 No.
int boite_simple(Dialogs& dialogs, const QString& titre, const QString& texte,
                 std::uint32_t style = 0);

// The box closing a run: " Info", the operation's end text (all its lines) as the body, the
// information icon, the main window's title; the lines of the files that the run did not write
// ("Échec : FICHIER : raison") in its details. When there are such lines, the visible text says how
// many under the end text and the icon is the warning's.
int boite_fin(Dialogs& dialogs, std::string_view texte_fin, QWidget* parent,
              const QString& raisons = {});
// "1 page n'a pas été écrite", "3 pages n'ont pas été écrites".
QString texte_pages_non_ecrites(qsizetype nombre);

// Shows a message that the core returned, in the box its kind names.
int afficher_message(Dialogs& dialogs, const Message& m, QWidget* parent);

}  // namespace vellumor::app
