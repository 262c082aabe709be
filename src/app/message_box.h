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

// The task dialog for a message: the text up to the first line feed is the details, the text
// between the first and the second the body, the rest is not shown; Yes/No when the low four bits
// are 4 unless the icon is information; the title falls back to the main window's.
DialogueTache dialogue_pour(const QString& instruction, const QString& texte, std::uint32_t style,
                            const QString& titre);

// Shows the message; returns 6 Yes, 7 No, 2 Cancel, 0 for OK or failure.
int Boite_Message(Dialogs& dialogs, const QString& instruction, const QString& texte,
                  std::uint32_t style, QWidget* parent, const QString& titre = {});

// The plain box: the caller's flags unchanged; returns 1 OK, 6 Yes, 7 No.
int Boite_Simple(Dialogs& dialogs, const QString& titre, const QString& texte,
                 std::uint32_t style = 0);

// The box closing a run: " Info", the operation's end text (all its lines) as the body, the
// information icon, the main window's title; the lines of the files that the run did not write
// ("Échec : FICHIER : raison") in its details. When there are such lines, the visible text says how
// many under the end text and the icon is the warning's.
int Boite_Fin(Dialogs& dialogs, std::string_view texte_fin, QWidget* parent,
              const QString& raisons = {});
// "1 page n'a pas été écrite", "3 pages n'ont pas été écrites".
QString texte_pages_non_ecrites(qsizetype nombre);

// Shows a message that the core returned, in the box its kind names.
int afficher_message(Dialogs& dialogs, const Message& m, QWidget* parent);

}  // namespace vellumor::app
