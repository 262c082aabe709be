#pragma once

#include <QList>
#include <QUrl>

namespace vellumor::app {

class FenetrePrincipale;

// Lets PNG files and folders dragged from the desktop's file manager onto control 17 join the
// image list, while the window is at rest (no operation window, no run).
void installer_depot_liste(FenetrePrincipale& f);

// What a drop of urls does: TIFF, JPEG and PNM scans among them are imported (importer_scans);
// the pages they stand for (a folder for its PNG files) join the list as a selection adds them,
// sorted by number, files already listed kept once. False, with the list untouched, when they
// stand for no page and no scan.
bool deposer_sur_la_liste(FenetrePrincipale& f, const QList<QUrl>& urls);

}  // namespace vellumor::app
