#!/usr/bin/env bash
# The package is reproducible: the last commit, cloned into two directories of different paths
# and packaged in each by scripts/package.sh, gives the same bytes. Skipped (77) without git,
# outside a checkout, or without the package tools.
#   check_reproducible.sh SOURCE_DIR
set -euo pipefail
source=$1
command -v git > /dev/null && command -v dpkg-deb > /dev/null && command -v cpack > /dev/null || exit 77
git -C "$source" rev-parse --verify -q HEAD > /dev/null || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

packages=()
for dir in "$work/one" "$work/second/checkout"; do
    git clone -q "$source" "$dir"
    # Two jobs, beside the other tests ctest runs at the same time.
    packages+=("$(CMAKE_BUILD_PARALLEL_LEVEL=2 bash "$dir/scripts/package.sh" | tail -n 1)")
done
if ! cmp "${packages[@]}"; then
    for i in 0 1; do dpkg-deb -R "${packages[i]}" "$work/unpacked$i"; done
    diff -r "$work/unpacked0" "$work/unpacked1" || true
    diff <(dpkg-deb -c "${packages[0]}") <(dpkg-deb -c "${packages[1]}") || true
    exit 1
fi
echo "two builds of $(git -C "$source" rev-parse --short HEAD): $(basename "${packages[0]}") the same, $(stat -c %s "${packages[0]}") bytes"
