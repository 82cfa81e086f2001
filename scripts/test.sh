#!/usr/bin/env bash
# Builds Quillmere and runs every test, headless: once as shipped, once under AddressSanitizer
# and UndefinedBehaviorSanitizer. Test builds time transfers out after 1 s, so that the tests
# of a server that never answers end quickly.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh clang-format dpkg-dev file desktop-file-utils appstream lintian man-db git g++-mingw-w64-x86-64-posix wine64
echo "== Formatting"
bash scripts/format.sh --check
# CI has 20 minutes on two cores, and debugging data is much of the compilers' work: the tests'
# build keeps line tables only, and the instrumented one is not optimised (at -O1 it compiles in
# twice the time, while the tests under it run as fast), without the benchmarks no test runs.
QUILLMERE_BUILD_DIR=build-test bash scripts/build.sh -DQUILLMERE_TRANSFER_TIMEOUT_MS=1000 \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
QUILLMERE_BUILD_DIR=build-sanitize bash scripts/build.sh -DQUILLMERE_TRANSFER_TIMEOUT_MS=1000 -DQUILLMERE_SANITIZE=ON \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O0 -g -DNDEBUG" -DQUILLMERE_BENCHMARKS=OFF

export QT_QPA_PLATFORM=offscreen
echo "== Tests"
ctest --test-dir build-test --output-on-failure -j2
echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j2
