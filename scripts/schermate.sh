#!/usr/bin/env bash
# Takes the README's pictures from the real program in a real X server (Xvfb):
# docs/screenshots/*.png, and the printed teachers' worksheet as a PNG page.
set -euo pipefail
radice="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$radice/scripts/dipendenze.sh"
cmake -S "$radice" -B "$radice/build" -G Ninja >/dev/null
cmake --build "$radice/build" -j2 --target vornel_schermate
uscita="$radice/docs/screenshots"
mkdir -p "$uscita"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1400x1050x24" "$radice/build/tools/vornel_schermate" "$uscita"
pdftoppm -png -r 60 -singlefile "$uscita/scheda-docenti.pdf" "$uscita/scheda-docenti"
rm -f "$uscita/scheda-docenti.pdf"
ls -l "$uscita"
