#pragma once

#include "batch/originaux.h"
#include "ops/description.h"

// What the cropping run shows and posts. The row icons of the two outcomes in which the file is
// left as it is are the file list's kIconeVierge and kIconeSansMarge (batch/lot_fichiers.h).
namespace vellumor::cropping {

inline constexpr DescriptionOperation kDescription{
    .titre_bandeau = "Détourage des images",
    .titre_boite_erreur = " Détourage des images",
    .titre_dialogue_fichiers = "Sélectionner les fichiers à détourer",
    .texte_fin = "Les opérations de détourage sont terminées",
    .evenement_fin_paire = 0x10009,
    .evenement_fin_impaire = 0x1000A,
    .evenement_controle = 0x1000B,
    .fiche_paire = "GLB_Fichier_Pair_Detourage",
    .fiche_impaire = "GLB_Fichier_ImPair_Detourage",
    .legende_bouton = "Détourage",
    .legende_depart = " Détourer les images ",
    .originaux = kOperationDetourage,
};

}  // namespace vellumor::cropping
