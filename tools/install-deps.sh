#!/usr/bin/env bash
# Installs what building, running and testing Lontaris and Pelmaro need, from
# Debian 12's own packages. Run as root.
set -euo pipefail
packages=(
  cmake g++ make
  qt6-base-dev qt6-multimedia-dev libqt6sql6-sqlite libsqlite3-dev
  libqt6sql6-psql libpq-dev             # the classroom: a PostgreSQL server through Qt's driver
  postgresql-15                         # the tests start a server of their own (initdb, pg_ctl)
  fonts-dejavu-core fonts-liberation2 fonts-noto-core   # the font families the windows are checked under
  xvfb openbox x11-utils                # the windows' checks on a desktop: X server, window manager, xprop
  python3                               # the question bank check
  desktop-file-utils appstream          # the install test validates the launchers and metainfo
  dpkg-dev lintian                      # the Debian package: cpack's dpkg-shlibdeps, and its check
  pulseaudio pulseaudio-utils sox       # bench/sound.sh records and measures what a player hears
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
