#include "app/message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "app/controls.h"
#include "app/dialogs_qt.h"
#include "scripted_dialogs.h"

namespace vellumor::app::test {
namespace {

TEST(BoiteMessage, TextBeforeTheFirstLineFeedGoesToTheDetails) {
    DialogueTache d =
        dialogue_pour(QStringLiteral(" Info"), QStringLiteral("abc"), 0x40, QStringLiteral("T"));
    EXPECT_EQ(d.details, QStringLiteral("abc"));
    EXPECT_EQ(d.corps, QString());
    d = dialogue_pour(QStringLiteral(" Info"), QStringLiteral("\nabc"), 0x40, QStringLiteral("T"));
    EXPECT_EQ(d.details, QString());
    EXPECT_EQ(d.corps, QStringLiteral("abc"));
    d = dialogue_pour(QStringLiteral("i"), QStringLiteral("d\nb\nperdu\nencore"), 0,
                      QStringLiteral("T"));
    EXPECT_EQ(d.details, QStringLiteral("d"));
    EXPECT_EQ(d.corps, QStringLiteral("b"));
    EXPECT_EQ(d.instruction, QStringLiteral("i"));
}

// Fields given apart keep their line feeds (a reason or a file name may hold one); a packed
// text gives the same box as its fields.
TEST(BoiteMessage, FieldsGivenApartKeepTheirLineFeeds) {
    const DialogueTache d = dialogue_pour(ChampsMessage{.instruction = QStringLiteral("i"),
                                                        .details = QStringLiteral("a\nb"),
                                                        .corps = QStringLiteral("c\nd"),
                                                        .style = 0x34,
                                                        .titre = QStringLiteral("T")});
    EXPECT_EQ(d.details, QStringLiteral("a\nb"));
    EXPECT_EQ(d.corps, QStringLiteral("c\nd"));
    EXPECT_EQ(d.icone, Bouclier::Jaune);
    EXPECT_TRUE(d.oui_non);
    EXPECT_EQ(dialogue_pour(QStringLiteral("i"), QStringLiteral("a\nc"), 0x40, QStringLiteral("T")),
              dialogue_pour(ChampsMessage{QStringLiteral("i"), QStringLiteral("a"),
                                          QStringLiteral("c"), 0x40, QStringLiteral("T")}));
}

TEST(BoiteMessage, FlagsChooseShieldAndButtons) {
    EXPECT_EQ(bouclier_de(0x10), Bouclier::Rouge);
    EXPECT_EQ(bouclier_de(0x30), Bouclier::Jaune);
    EXPECT_EQ(bouclier_de(0x40), Bouclier::Vert);
    EXPECT_EQ(bouclier_de(0x24), Bouclier::Vert);
    EXPECT_EQ(bouclier_de(0), Bouclier::Bleu);
    EXPECT_TRUE(dialogue_pour({}, {}, 0x24, QStringLiteral("T")).oui_non);
    EXPECT_FALSE(dialogue_pour({}, {}, 0x44, QStringLiteral("T")).oui_non);
    EXPECT_FALSE(dialogue_pour({}, {}, 0x30, QStringLiteral("T")).oui_non);
    EXPECT_TRUE(dialogue_pour({}, {}, 0x34, QStringLiteral("T")).oui_non);
}

TEST(BoiteMessage, ResultsMapYesNoCancelAndEverythingElseToZero) {
    DialogsScriptes dialogs;
    dialogs.reponses_tache = {Reponse::Oui, Reponse::Non, Reponse::Annuler, Reponse::Ok,
                              Reponse::Echec};
    EXPECT_EQ(Boite_Message(dialogs, QStringLiteral("q"), {}, 0x24, nullptr, QStringLiteral("T")),
              6);
    EXPECT_EQ(Boite_Message(dialogs, QStringLiteral("q"), {}, 0x24, nullptr, QStringLiteral("T")),
              7);
    EXPECT_EQ(Boite_Message(dialogs, QStringLiteral("q"), {}, 0x24, nullptr, QStringLiteral("T")),
              2);
    EXPECT_EQ(Boite_Message(dialogs, QStringLiteral("q"), {}, 0x40, nullptr, QStringLiteral("T")),
              0);
    EXPECT_EQ(Boite_Message(dialogs, QStringLiteral("q"), {}, 0x40, nullptr, QStringLiteral("T")),
              0);
}

TEST(BoiteMessage, EmptyTitleTakesTheMainWindowsTitle) {
    EXPECT_EQ(dialogue_pour({}, {}, 0, {}).titre, QString());  // no main window yet
    QWidget principale;
    principale.setWindowTitle(QStringLiteral("Traitement des images"));
    enregistrer_fenetre(1, &principale);
    EXPECT_EQ(dialogue_pour({}, {}, 0, {}).titre, QStringLiteral("Traitement des images"));
    EXPECT_EQ(dialogue_pour({}, {}, 0, QStringLiteral("Mien")).titre, QStringLiteral("Mien"));
}

TEST(BoiteMessage, CoreMessagesGoToTheBoxTheirKindNames) {
    DialogsScriptes dialogs;
    afficher_message(dialogs, {Message::Kind::Simple, "", "texte", "Titre", 0x40}, nullptr);
    afficher_message(dialogs, {Message::Kind::BoiteMessage, " Info", "\ncorps", "", 0x30}, nullptr);
    ASSERT_EQ(dialogs.appels.size(), 2u);
    EXPECT_EQ(dialogs.appels[0].genre, DialogsScriptes::Appel::Genre::Simple);
    EXPECT_EQ(dialogs.appels[0].titre, QStringLiteral("Titre"));
    EXPECT_EQ(dialogs.appels[0].style, 0x40u);
    EXPECT_EQ(dialogs.appels[1].tache.instruction, QStringLiteral(" Info"));
    EXPECT_EQ(dialogs.appels[1].tache.corps, QStringLiteral("corps"));
    EXPECT_EQ(dialogs.appels[1].tache.icone, Bouclier::Jaune);
}

TEST(QtMessageBox, TaskDialogShowsHeadingBodyAndDetails) {
    DialogueTache d{QStringLiteral("Titre"),   QStringLiteral(" Info"), QStringLiteral("a\rb"),
                    QStringLiteral("détails"), Bouclier::Vert,          true};
    auto boite = construire_boite_tache(d, nullptr);
    EXPECT_EQ(boite->windowTitle(), QStringLiteral("Titre"));
    EXPECT_EQ(boite->text(), QStringLiteral(" Info"));
    EXPECT_EQ(boite->informativeText(), QStringLiteral("a\nb"));
    EXPECT_EQ(boite->detailedText(), QStringLiteral("détails"));
    EXPECT_EQ(boite->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_FALSE(boite->iconPixmap().isNull());
    d.oui_non = false;
    EXPECT_EQ(construire_boite_tache(d, nullptr)->standardButtons(), QMessageBox::Ok);
}

TEST(QtMessageBox, AnsweringYesInTheRealBoxReturnsSix) {
    DialogsQt dialogs;
    QTimer::singleShot(0, [] {
        auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(boite, nullptr);
        boite->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(Boite_Message(dialogs, QStringLiteral("Question"), QStringLiteral("\nOui ?"), 0x24,
                            nullptr, QStringLiteral("T")),
              6);
    QTimer::singleShot(0, [] {
        auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(boite, nullptr);
        boite->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialogs.boite_simple(QStringLiteral("T"), QStringLiteral("Oui ?"), 0x24), 7);
}

TEST(QtMessageBox, PlainBoxKeepsTheCallersFlags) {
    auto boite =
        construire_boite_simple(QStringLiteral("Erreur"), QStringLiteral("x\ry"), 0x10, nullptr);
    EXPECT_EQ(boite->windowTitle(), QStringLiteral("Erreur"));
    EXPECT_EQ(boite->text(), QStringLiteral("x\ny"));
    EXPECT_EQ(boite->icon(), QMessageBox::Critical);
    EXPECT_EQ(boite->standardButtons(), QMessageBox::Ok);
    boite = construire_boite_simple({}, {}, 0, nullptr);
    EXPECT_EQ(boite->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(construire_boite_simple({}, {}, 0x24, nullptr)->icon(), QMessageBox::Question);
    EXPECT_EQ(code_de(QMessageBox::Ok), 1);
    EXPECT_EQ(code_de(QMessageBox::Yes), 6);
    EXPECT_EQ(code_de(QMessageBox::No), 7);
}

TEST(QtDialogs, FiltersAreWrittenTheQtWay) {
    EXPECT_EQ(filtre_qt(QStringLiteral("Fichiers images|*.png")),
              QStringLiteral("Fichiers images (*.png)"));
    EXPECT_EQ(filtre_qt(QStringLiteral("Fichiers images|*.png;*.tif")),
              QStringLiteral("Fichiers images (*.png *.tif)"));
    EXPECT_EQ(filtre_qt(QStringLiteral("*.txt")), QStringLiteral("*.txt"));
    EXPECT_EQ(texte_affiche(QStringLiteral("a\r\nb\rc\nd")), QStringLiteral("a\nb\nc\nd"));
}

// A short message under a long title: the box is wide enough for the title and the title bar's
// buttons, so the title is not cut.
TEST(QtMessageBox, ANarrowBoxIsAsWideAsItsTitle) {
    const QString titre = QStringLiteral("Enregistrer les pages d'exception — Vellumor");
    DialogueTache d;
    d.titre = titre;
    d.instruction = QStringLiteral(" Info");
    std::unique_ptr<QMessageBox> boites[] = {
        construire_boite_tache(d, nullptr),
        construire_boite_simple(titre, QStringLiteral("Ok"), 0x40, nullptr)};
    for (auto& b : boites) {
        b->show();
        QCoreApplication::processEvents();
        EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(titre) + 150);
        b->hide();
    }
}

// The completion box shows every line of the end text; failed pages add their count and the
// warning icon, their lines going to the details.
TEST(BoiteMessage, TheCompletionBoxShowsTheWholeEndTextAndCountsFailedPages) {
    const struct {
        const char* raisons;
        const char* corps;
        Bouclier icone;
    } cas[] = {{"", "Fin\nOriginaux gardés", Bouclier::Vert},
               {"Échec : a : x\nNon écrit : b : y",
                "Fin\nOriginaux gardés\n\n2 pages n'ont pas été écrites (voir les détails)",
                Bouclier::Jaune}};
    for (const auto& c : cas) {
        DialogsScriptes dialogs;
        boite_fin(dialogs, "Fin\nOriginaux gardés", nullptr, QString::fromUtf8(c.raisons));
        const DialogueTache d = dialogs.appels.at(0).tache;
        EXPECT_EQ(d.corps, QString::fromUtf8(c.corps));
        EXPECT_EQ(d.details, QString::fromUtf8(c.raisons));
        EXPECT_EQ(d.icone, c.icone);
    }
}

}  // namespace
}  // namespace vellumor::app::test
