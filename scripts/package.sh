#!/usr/bin/env bash
# Builds Quillmere's Debian package into build-package/ (Release, the program only); extra
# arguments go to CMake, e.g. -DQUILLMERE_LIST_SERVER=lists.example.org. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh dpkg-dev file
QUILLMERE_BUILD_DIR=build-package QUILLMERE_BUILD_TARGETS=quillmere \
    bash scripts/build.sh -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "$@"
(cd build-package && cpack -G DEB > cpack.log) || { cat build-package/cpack.log; exit 1; }
ls "$PWD"/build-package/quillmere_*.deb
