#!/usr/bin/env bash
# Configures and builds Quillmere into build/ (or $QUILLMERE_BUILD_DIR); extra arguments go to
# CMake's configure step, e.g. -DQUILLMERE_LIST_SERVER=lists.example:80. Builds every target,
# or only those named in $QUILLMERE_BUILD_TARGETS.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${QUILLMERE_BUILD_DIR:-build}
mkdir -p "$build_dir"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$build_dir/configure.log" 2>&1 \
    || { cat "$build_dir/configure.log"; exit 1; }
targets=()
for target in ${QUILLMERE_BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build_dir" "${targets[@]}"
