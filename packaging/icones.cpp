// Writes the program's icon into DOSSIER/hicolor/NxN/apps/vellumor.png for every size that desktop
// menus and docks ask for, so the installed icon is the one the running window shows.
#include <QDir>
#include <QImage>
#include <cstdio>

#include "app/icons.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("Utilisation : vellumor-icones DOSSIER\n", stderr);
        return 2;
    }
    const QString racine = QString::fromLocal8Bit(argv[1]);
    for (const int cote : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dossier = QStringLiteral("%1/hicolor/%2x%2/apps").arg(racine).arg(cote);
        const QString fichier = dossier + QStringLiteral("/vellumor.png");
        if (!QDir().mkpath(dossier) ||
            !vellumor::app::dessiner_icone_programme(cote).save(fichier, "PNG")) {
            std::fprintf(stderr, "Impossible d'écrire %s\n", qPrintable(fichier));
            return 1;
        }
    }
    return 0;
}
