#!/usr/bin/env bash
# From a fresh clone: install what is missing, build, and start Vornel.
# The level file (vornel.dat) is kept in the directory you start it from.
set -euo pipefail
radice="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$radice/scripts/dipendenze.sh"
cmake -S "$radice" -B "$radice/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$radice/build" -j2 --target vornel
exec "$radice/build/src/vornel" "$@"
