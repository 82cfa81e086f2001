#!/usr/bin/env bash
# Formats every C++ source with clang-format (see .clang-format); with --check, changes nothing
# and fails when a file is not formatted.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=(-i)
[ "${1:-}" = --check ] && mode=(--dry-run --Werror)
find src tests tools bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format "${mode[@]}"
