#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"

namespace {

void print_help() {
    std::printf(
        "Vellumor, traitement des images d'une publication en ligne de commande\n\n"
        "Utilisation : vellumor-cli COMMANDE [OPTIONS] [FICHIER...]\n\nCommandes :\n");
    for (const auto& c : vellumor::cli::commands()) std::printf("  %-14s %s\n", c.name, c.summary);
    std::printf(
        "\n« vellumor-cli COMMANDE --aide » décrit les options d'une commande.\n\n"
        "Codes de sortie : ceux de l'aide de chaque commande (0, 1 ou 2). Un traitement\n"
        "interrompu par Ctrl+C, SIGTERM ou SIGHUP termine les pages en cours d'écriture, laisse\n"
        "les suivantes intactes et sort avec le code 1. Un signal reçu avant le début du\n"
        "traitement arrête le programme sans qu'aucun fichier ait été touché : le statut est\n"
        "alors 128 + le numéro du signal (130 pour Ctrl+C).\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        print_help();
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--aide" || name == "--help" || name == "-h" || name == "aide") {
        print_help();
        return 0;
    }
    for (const auto& c : vellumor::cli::commands()) {
        if (name == c.name) return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "Commande inconnue : %s\n« vellumor-cli --aide » liste les commandes.\n",
                 name.c_str());
    return 2;
}
