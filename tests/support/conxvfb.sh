#!/usr/bin/env bash
# conxvfb.sh COMMAND [ARGS...]
# Runs COMMAND on a virtual X server of its own and returns its exit status.
# Xvfb chooses a free display itself and says which (-displayfd), so that tests
# running side by side never take the same one, as two "xvfb-run -a" started at
# once may. The server stops with the command, or when the run is killed.
set -u
numero="$(mktemp)" || exit 1
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numero" 2>/dev/null &
xvfb=$!
fine() {
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -f "$numero"
}
trap fine EXIT
trap 'exit 143' TERM INT
# The number is written once the server takes connections.
for _ in $(seq 200); do
  grep -q . "$numero" && break
  kill -0 "$xvfb" 2>/dev/null || { echo "conxvfb: Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
grep -q . "$numero" || { echo "conxvfb: Xvfb gave no display within 10 s" >&2; exit 1; }
DISPLAY=":$(head -n1 "$numero")" "$@"
