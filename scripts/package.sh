#!/usr/bin/env bash
# Builds Quillmere's Debian package into build-package/ (Release, the program only); extra
# arguments go to CMake, e.g. -DQUILLMERE_LIST_SERVER=lists.example.org. Prints the package's path.
# Compiled with Debian's flags: hardened, and with the build's path mapped out of the program.
# So the same commit gives the same package bytes wherever it is built, every time inside it
# being the commit's (SOURCE_DATE_EPOCH, unless set already).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh dpkg-dev file git
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2> /dev/null) \
        || { echo "not a git checkout: set SOURCE_DATE_EPOCH to the source's date" >&2; exit 1; }
fi
export SOURCE_DATE_EPOCH
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
# Debian's optimisation, and no debugging data: the package's program is stripped of it anyway.
CXXFLAGS=${CXXFLAGS//-g /}
QUILLMERE_BUILD_DIR=build-package QUILLMERE_BUILD_TARGETS="quillmere quillmere_documents" \
    bash scripts/build.sh -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    "-DCMAKE_CXX_FLAGS=$CPPFLAGS $CXXFLAGS" "-DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG" \
    "-DCMAKE_EXE_LINKER_FLAGS=$LDFLAGS" "$@"
(cd build-package && cpack -G DEB > cpack.log) || { cat build-package/cpack.log; exit 1; }
ls "$PWD"/build-package/quillmere_*.deb
