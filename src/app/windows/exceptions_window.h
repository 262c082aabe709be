#pragma once

namespace vellumor::app {

class FenetrePrincipale;

// Opens the page-exception window over window 1 and returns once it is closed; the reconstitution
// panel's button 39 is then enabled when the run list holds a record. Never during a run.
void ouvrir_exceptions(FenetrePrincipale& f);

}  // namespace vellumor::app
