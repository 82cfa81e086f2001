#!/usr/bin/env bash
# Builds Quillmere and runs every test, headless: once as shipped, once under AddressSanitizer
# and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh
QUILLMERE_BUILD_DIR=build-sanitize bash scripts/build.sh -DQUILLMERE_SANITIZE=ON

export QT_QPA_PLATFORM=offscreen
echo "== Tests"
ctest --test-dir build --output-on-failure -j2
echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j2
