#!/usr/bin/env bash
# Builds the program in release mode and runs every benchmark, under Xvfb so the
# windows are real. Figures go to standard output.
set -euo pipefail
radice="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$radice/scripts/dipendenze.sh"
b="$radice/build-bench"
cmake -S "$radice" -B "$b" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVORNEL_WERROR=ON >/dev/null
cmake --build "$b" -j2
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
cd "$lavoro"
esegui() { QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$@" 2> >(grep -v -E 'XDG_RUNTIME_DIR|QStandardPaths|QBackingStore::flush\(\) called for' >&2); }

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "== core: generator and formatting"
"$b/bench/core/bench_core"
for prog in "$b"/bench/*/bench_*; do
  [ -f "$prog" ] && [ -x "$prog" ] || continue
  case "$(basename "$prog")" in
    bench_core|bench_baseline|bench_baseline_sqlite|bench_misura|bench_avvio|bench_sessione|bench_sessione_sqlite|bench_lavagna|bench_voce) ;;
    *) echo "== $(basename "$prog")"; esegui "$prog" ;;
  esac
done
echo "== bench_voce: reading aloud; speech-dispatcher started by the first F5 or already running; the voice list listed or kept"
esegui "$b/bench/voce/bench_voce"
mkdir -p "$lavoro/voci"
VORNEL_CACHE_VOCI="$lavoro/voci" esegui "$b/bench/voce/bench_voce" --demone
VORNEL_CACHE_VOCI="$lavoro/voci" esegui "$b/bench/voce/bench_voce" --demone
VORNEL_CACHE_VOCI="$lavoro/voci" esegui "$b/bench/voce/bench_voce"
echo "== bench_voce --sempre: \"leggi sempre\" on, the first operation read as the exercise window appears"
rm -rf "$lavoro/voci" && mkdir -p "$lavoro/voci"
VORNEL_CACHE_VOCI="$lavoro/voci" esegui "$b/bench/voce/bench_voce" --sempre
VORNEL_CACHE_VOCI="$lavoro/voci" esegui "$b/bench/voce/bench_voce" --sempre --demone
VORNEL_CACHE_VOCI="$lavoro/voci" esegui "$b/bench/voce/bench_voce" --sempre
echo "== bench_lavagna: resizing the exercise window up to a 1920 x 1080 board"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" "$b/bench/exercise/bench_lavagna" \
  2> >(grep -v -E 'XDG_RUNTIME_DIR|QStandardPaths' >&2)
echo "== start-up and peak memory against a bare Qt window (both under Xvfb)"
esegui "$b/bench/startup/bench_misura" 21 "$b/bench/startup/bench_baseline" "$b/bench/startup/bench_avvio"
if [ -x "$b/bench/startup/bench_sessione" ]; then
  echo "== peak memory after a scripted session against the same baseline"
  esegui "$b/bench/startup/bench_misura" 5 "$b/bench/startup/bench_baseline" "$b/bench/startup/bench_sessione"
  echo "== the same session with no register (the module not loaded)"
  esegui "$b/bench/startup/bench_misura" 5 "$b/bench/startup/bench_baseline" "$b/bench/startup/bench_sessione" --senza-registro
  echo "== the floor of the session with its recording: no register module, each operation written by a bare Qt SQL writer"
  esegui "$b/bench/startup/bench_misura" 5 "$b/bench/startup/bench_baseline" "$b/bench/startup/bench_sessione_sqlite"
  echo "== the floor of recording in SQLite: the bare window writing one exercise through Qt SQL"
  esegui "$b/bench/startup/bench_misura" 7 "$b/bench/startup/bench_baseline" "$b/bench/startup/bench_baseline_sqlite"
fi
