#!/usr/bin/env bash
# Makes the Debian package dist/gzimport_<version>_<arch>.deb with CPack:
# both programs, the menu entry, the icon, the man pages, and the run-time
# dependencies (dpkg-shlibdeps finds the libraries; packaging/CMakeLists.txt
# names the Qt plugins and fonts the programs load).
#
#   scripts/package.sh          installs the packages, then builds the
#                               programs in build-package/ as a release build
#                               with Debian's hardening flags
#   scripts/package.sh BUILD    packages what the existing build BUILD made
#                               (scripts/build.sh's build/, say), which is
#                               quicker; its programs are stripped
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -ge 1 ]; then
  BUILD=$1
  [ -f "$BUILD/CMakeCache.txt" ] || { echo "package.sh: $BUILD is not a build folder" >&2; exit 1; }
else
  bash scripts/setup.sh
  BUILD=build-package
  # Debian's compiler and linker flags, hardening included; no debug
  # information, which the package would strip again.
  eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
  CXXFLAGS=${CXXFLAGS//-g /}
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=None \
    -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" \
    -DGZ_BUILD_TESTS=OFF -DGZ_BUILD_BENCH=OFF >/dev/null
fi

BUILD=$(cd "$BUILD" && pwd)
cmake --build "$BUILD" -j"$(nproc)" --target gzimport gzimport-gui man_pages package_documents
rm -rf "$BUILD/cpack"
(cd "$BUILD" && cpack -G DEB -B "$BUILD/cpack" >/dev/null)
mkdir -p dist
deb=$(ls "$BUILD"/cpack/*.deb)
cp "$deb" dist/
echo "dist/$(basename "$deb")"
