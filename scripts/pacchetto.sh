#!/usr/bin/env bash
# Builds the Debian package build-deb/vornel_<version>_amd64.deb; install it
# with: sudo apt install ./build-deb/vornel_*.deb
set -euo pipefail
radice="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$radice/scripts/dipendenze.sh"
cmake -S "$radice" -B "$radice/build-deb" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$radice/build-deb" -j2
(cd "$radice/build-deb" && cpack -G DEB)
