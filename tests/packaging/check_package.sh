#!/usr/bin/env bash
# The Debian package: cpack makes it from the build, Debian's package checker finds no error and
# no warning in it, its files are the installed tree under /usr, its dependencies name Qt's
# libraries (found by dpkg-shlibdeps) and the run-time parts, and the program unpacked from it
# starts.
#   check_package.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" > "$out/cpack.log") || { cat "$out/cpack.log"; exit 1; }
package=$(ls "$out"/quillmere_*.deb)
command -v lintian > /dev/null || { echo "lintian is not installed: bash scripts/install-deps.sh lintian"; exit 1; }
# Its own complaint about running as root is not about the package.
lintian --info --fail-on error,warning "$package" 2> >(grep -v "root privileges" >&2) \
    || { echo "lintian finds errors or warnings in the package"; exit 1; }
depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6network6 libc6 zlib1g liblzma5 qt6-qpa-plugins fonts-liberation2; do
    [[ "$depends" == *"$needed"* ]] || { echo "no dependency on $needed"; exit 1; }
done
files=$(dpkg-deb -c "$package" | awk '{print $6}' | grep -v '/$' | sort)
for file in ./usr/bin/quillmere ./usr/share/applications/example.quillmere.Quillmere.desktop \
    ./usr/share/metainfo/example.quillmere.Quillmere.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/example.quillmere.Quillmere.svg; do
    grep -qx "$file" <<< "$files" || { echo "package lacks $file"; exit 1; }
done
dpkg-deb -x "$package" "$out/root"
# It starts and keeps running until stopped: no missing library, no start-up failure.
set +e
QT_QPA_PLATFORM=offscreen timeout 3 "$out/root/usr/bin/quillmere" > /dev/null 2>&1
status=$?
set -e
[ $status -eq 124 ] || { echo "the packaged program ended with $status"; exit 1; }
echo "package $(basename "$package"): OK"
