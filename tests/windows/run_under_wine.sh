#!/usr/bin/env bash
# Builds the Windows-only platform files and their test with MinGW-w64 and runs the test under
# Wine. Skipped (exit 77) where either is not installed.
#   run_under_wine.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source=$1
work=$2
compiler=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++ || true)
wine=$(command -v wine64 || command -v wine || ls /usr/lib/wine/wine64 2>/dev/null || true)
[ -n "$compiler" ] || { echo "SKIP: no MinGW-w64 compiler (apt-get install g++-mingw-w64-x86-64-posix)"; exit 77; }
mkdir -p "$work"
"$compiler" -std=c++20 -O1 -Wall -Wextra -static -I"$source/src" -o "$work/tst_windows_platform.exe" \
    "$source/tests/windows/tst_windows_platform.cpp" "$source/src/platform/address_opener_win.cpp" \
    "$source/src/platform/connectivity_win.cpp" "$source/src/base/web_address.cpp" \
    "$source/src/base/printable.cpp" -lwininet -lshell32
echo "built with $compiler"
[ -n "$wine" ] || { echo "SKIP: built, but Wine is not installed to run it (apt-get install wine64)"; exit 77; }
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A new prefix made while the machine is busy can fail to start ("could not load kernel32.dll"):
# that, and only that, is tried once more from a fresh prefix.
if output=$("$wine" "$work/tst_windows_platform.exe" 2>&1); then status=0; else status=$?; fi
if [ $status -ne 0 ] && grep -q "could not load kernel32.dll" <<<"$output"; then
    echo "$output"
    echo "Wine did not start; once more from a fresh prefix"
    rm -rf "$WINEPREFIX"
    exec "$wine" "$work/tst_windows_platform.exe"
fi
echo "$output"
exit $status
