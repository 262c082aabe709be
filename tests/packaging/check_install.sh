#!/usr/bin/env bash
# Installs the build into a scratch folder as "make install" does and checks what a desktop and a
# shell look for: both programs, the desktop entry, an icon of every size at its size, and a manual
# page that describes every command the command line lists.
set -euo pipefail
build=$1 page_manuel=$2 gui=$3
racine=$(mktemp -d)
trap 'rm -rf "$racine"' EXIT
DESTDIR="$racine" cmake --install "$build" --prefix /opt/vellumor > /dev/null
prefixe=$racine/opt/vellumor

attendus=(bin/vellumor-cli share/man/man1/vellumor-cli.1.gz share/man/fr/man1/vellumor-cli.1.gz)
if [ "$gui" = ON ]; then
    attendus+=(bin/vellumor share/applications/vellumor.desktop)
    for cote in 16 22 24 32 48 64 128 256; do
        icone=share/icons/hicolor/${cote}x${cote}/apps/vellumor.png
        attendus+=("$icone")
        file "$prefixe/$icone" | grep -q "PNG image data, $cote x $cote, 8-bit/color RGBA" ||
            { echo "icône de la mauvaise taille : $icone"; exit 1; }
    done
fi
for f in "${attendus[@]}"; do
    [ -s "$prefixe/$f" ] || { echo "absent de l'installation : $f"; exit 1; }
done

commandes=$("$prefixe/bin/vellumor-cli" --aide | sed -n '/^Commandes :/,/^$/p' | awk 'NR > 1 && NF > 1 {print $1}')
[ -n "$commandes" ] || { echo "aucune commande dans vellumor-cli --aide"; exit 1; }
for c in $commandes; do
    grep -qx "\.B $c" "$page_manuel" || { echo "commande absente de la page de manuel : $c"; exit 1; }
done
