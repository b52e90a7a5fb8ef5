#!/usr/bin/env bash
# Checks the Debian package DEB (from scripts/package.sh) as a user gets it:
# lintian finds no errors; `apt-get install ./DEB` installs it with its
# dependencies; its AppStream description passes appstreamcli; the installed
# programs answer --version, speak Chinese in a Chinese locale, import the
# demo workbook into a demo database, and the installed window passes its
# start-up check on a virtual display (and reports a missing database); then
# the package is removed again.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
DEB=$(realpath "${1:?usage: test_package.sh DEB}")
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

step() { echo "== $*"; }
fail() { echo "test_package: $*" >&2; exit 1; }
installed() { dpkg-query -W -f='${Status}' gzimport 2>/dev/null | grep -q "install ok installed"; }

WORK=$(mktemp -d)
cleanup() {
  rm -rf "$WORK"
  if installed; then $SUDO apt-get remove -y gzimport >/dev/null; fi
}
trap cleanup EXIT

step "lintian $(basename "$DEB")"
status=0
lintian --fail-on error "$DEB" >"$WORK/lintian.log" 2>&1 || status=$?
grep -v "running with root privileges" "$WORK/lintian.log" || true
[ "$status" -eq 0 ] || fail "lintian reports errors"
echo "no errors"

if installed; then $SUDO apt-get remove -y gzimport >/dev/null; fi  # left by a run that stopped half-way

step "apt-get install $(basename "$DEB")"
$SUDO apt-get install -y "$DEB" >"$WORK/apt.log" 2>&1 || { cat "$WORK/apt.log"; fail "the package did not install"; }
[ "$(command -v gzimport)" = /usr/bin/gzimport ] || fail "gzimport is not /usr/bin/gzimport"
[ "$(command -v gzimport-gui)" = /usr/bin/gzimport-gui ] || fail "gzimport-gui is not /usr/bin/gzimport-gui"
METAINFO=/usr/share/metainfo/org.example.gzimport.metainfo.xml
for f in /usr/share/applications/gzimport-gui.desktop "$METAINFO" \
         /usr/share/icons/hicolor/scalable/apps/gzimport.svg /usr/share/icons/hicolor/48x48/apps/gzimport.png \
         /usr/share/man/man1/gzimport.1.gz /usr/share/man/man1/gzimport-gui.1.gz /usr/share/doc/gzimport/copyright; do
  [ -f "$f" ] || fail "$f is missing"
done

step "appstreamcli validate $(basename "$METAINFO")"
appstreamcli validate --no-net "$METAINFO" || fail "the AppStream description is not valid"

step "versions"
version=$(dpkg-deb -f "$DEB" Version)
for program in gzimport gzimport-gui; do
  out=$(env -u DISPLAY -u QT_QPA_PLATFORM "$program" --version)
  echo "$out"
  case "$out" in "$program $version"*) ;; *) fail "$program --version says '$out', the package is $version" ;; esac
done

step "help in the locale's language"
# The help is read whole before it is searched: a grep that stops at its
# first match could end the program with SIGPIPE, which pipefail takes as a failure.
zh_help=$(LANG=zh_CN.UTF-8 LANGUAGE= LC_ALL= gzimport import --help)
grep -q "^用法：gzimport import" <<<"$zh_help" || fail "no Chinese help"
c_help=$(LANG=C LANGUAGE= LC_ALL= gzimport import --help)
grep -q "^Usage: gzimport import" <<<"$c_help" || fail "no English help"
echo "Chinese for zh_CN, English for C"

step "demo import with the installed gzimport"
mkdir "$WORK/demo"
cd "$WORK/demo"
gzimport init-db --demo gzgl.mdb
/usr/bin/python3 "$ROOT/scripts/make_demo_workbook.py" .
gzimport import --dept 0102 staff.xls >"$WORK/import.log" 2>&1 || { cat "$WORK/import.log"; fail "the import failed"; }
grep -q "数据导入成功!" "$WORK/import.log" || { cat "$WORK/import.log"; fail "the import did not succeed"; }
count=$(gzimport people --dept 0102 | tail -n 1)
echo "people of 0102 after the import: $count"
[ "$count" = "9人" ] || fail "expected 9 people in 0102 (3 demo + 6 imported), found $count"
cd "$ROOT"

step "the installed window on a virtual display"
mkdir "$WORK/empty"
xvfb-run -a -s "-screen 0 1280x800x24" bash scripts/check_window.sh "$WORK/demo" ready
xvfb-run -a -s "-screen 0 1280x800x24" bash scripts/check_window.sh "$WORK/empty" missing

step "apt-get remove gzimport"
$SUDO apt-get remove -y gzimport >/dev/null
! installed || fail "the package is still installed"
[ ! -e /usr/bin/gzimport ] && [ ! -e /usr/bin/gzimport-gui ] || fail "the programs are still there"
echo "removed"
