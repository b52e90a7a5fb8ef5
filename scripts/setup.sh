#!/usr/bin/env bash
# Installs the Debian packages the project needs.
# Usage: scripts/setup.sh            every package: building and running the
#                                    programs, the tests, the style checks,
#                                    the fuzzers, the screenshots and the
#                                    Debian package and its checks
#        scripts/setup.sh programs   only what building and running gzimport
#                                    and gzimport-gui needs, and what the demo
#                                    runs (scripts/demo.sh)
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# Building and running the two programs.
PROGRAMS=(
  # toolchain and build
  build-essential cmake ninja-build pkg-config git
  # core libraries; the Qt SQL driver for ODBC databases, loaded at run time
  qt6-base-dev libqt6sql6-odbc libpq-dev
  libgsf-1-dev libxml2-dev libsqlite3-dev libgcrypt20-dev
  # help texts in other languages: lupdate and lrelease; Qt's own
  # translations, which put the window's standard buttons into Chinese
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  # reading Access files (migrate)
  mdbtools-dev
  # the workbook of the rows an import did not store
  libxlsxwriter-dev
  # window: fonts for Chinese text, the rare characters included
  fonts-arphic-uming fonts-wqy-zenhei fonts-hanazono
  # the demo workbook (scripts/make_demo_workbook.py)
  python3 python3-xlwt
)

# Everything else the tests, the checks and the package need.
CHECKS=(
  libqt6sql6-sqlite
  # the Access test databases are kept compressed
  zlib1g-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest
  # fuzzers: clang with its sanitizer runtime
  clang libclang-rt-14-dev
  # style checks: clang-format 18 or later for the layout, clang-tidy
  clang-format-19 clang-tidy
  python3-openpyxl python3-xlrd python3-psycopg2
  postgresql odbc-postgresql unixodbc
  # a virtual display for the window's screenshots
  xvfb xauth imagemagick
  # the Debian package: man pages, CPack's dependency search, checks of the
  # package, of its software-centre description and of the installed window
  help2man file dpkg-dev lintian appstream xdotool
  time
)

case "${1:-all}" in
  programs) PACKAGES=("${PROGRAMS[@]}") ;;
  all) PACKAGES=("${PROGRAMS[@]}" "${CHECKS[@]}") ;;
  *) echo "usage: scripts/setup.sh [programs]" >&2; exit 2 ;;
esac

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
