#!/usr/bin/env bash
# Installs the Debian 12 packages Vornel needs to build, run, test and print,
# only those that are missing. Uses sudo when not run as root.
set -euo pipefail

pacchetti=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6sql6-sqlite
  # Reading aloud: Qt TextToSpeech on speech-dispatcher, with espeak-ng's Italian
  # voice. Its headers include QtQmlIntegration, found in qt6-declarative-dev,
  # which Debian's qt6-speech-dev does not pull in. The program's own engine
  # talks to speech-dispatcher through libspeechd; Qt's is the fallback.
  qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin libspeechd-dev
  speech-dispatcher speech-dispatcher-espeak-ng
  fonts-liberation fonts-dejavu-core
  poppler-utils libreoffice-calc-nogui sqlite3
  # Class lists in the old Excel format (.xls).
  libfreexl-dev
  # The school's server: Qt SQL's PostgreSQL driver for the program and
  # vornel-scuola, and PostgreSQL 15 with openssl for the tests, which start
  # servers of their own (with certificates they make) and never use the
  # cluster Debian's package creates and starts on install.
  libqt6sql6-psql postgresql-15 openssl
  clang-14 libclang-rt-14-dev
  cups cups-client cups-bsd printer-driver-cups-pdf libcups2-dev
  desktop-file-utils appstream
  xvfb xauth imagemagick libxtst-dev
  dpkg-dev file util-linux
)

mancanti=()
for p in "${pacchetti[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    mancanti+=("$p")
  fi
done

if [ ${#mancanti[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${mancanti[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${mancanti[@]}"
