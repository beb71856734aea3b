#!/bin/sh
# Makes other-program.emf and other-program.wmf from other-program.svg with
# LibreOffice Draw (Debian: libreoffice-draw), so the metafile readers are
# tested on pictures our own writer did not make. The files are kept in the
# tree; run this again only to remake them.
set -e
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp other-program.svg "$work/"
for ext in emf wmf; do
  HOME="$work" soffice --headless --convert-to "$ext" --outdir "$work" "$work/other-program.svg" >/dev/null
  cp "$work/other-program.$ext" .
done
