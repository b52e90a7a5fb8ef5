#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the program need.
# Usage: scripts/setup.sh            install packages only
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  # toolchain and build
  build-essential cmake ninja-build pkg-config git
  # core libraries
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc libpq-dev
  # help texts in other languages: lupdate and lrelease, Qt's own translations
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libgsf-1-dev libxml2-dev libsqlite3-dev libgcrypt20-dev
  # reading Access files (migrate); zlib unpacks their test copies
  mdbtools-dev zlib1g-dev
  # the workbook of the rows an import did not store
  libxlsxwriter-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest
  clang libclang-rt-14-dev
  # style checks: clang-format 18 or later for the layout, clang-tidy
  clang-format-19 clang-tidy
  python3 python3-xlwt python3-openpyxl python3-xlrd python3-psycopg2
  postgresql odbc-postgresql unixodbc
  # window: fonts for Chinese text, a virtual display for screenshots
  fonts-arphic-uming fonts-wqy-zenhei fonts-hanazono xvfb xauth imagemagick
  # the Debian package: man pages, CPack's dependency search, checks of the
  # package, of its software-centre description and of the installed window
  help2man file dpkg-dev lintian appstream xdotool
  time
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
