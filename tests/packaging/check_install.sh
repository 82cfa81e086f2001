#!/usr/bin/env bash
# The installed tree: `cmake --install` of the build into a scratch prefix puts the program, its
# desktop entry, icons and metainfo where a desktop looks, and Debian's validators accept them.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

cmake --install "$build" --prefix "$root/usr" > /dev/null
id=example.quillmere.Quillmere
expected="usr/bin/quillmere
usr/share/applications/$id.desktop
usr/share/icons/hicolor/16x16/apps/$id.png
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/32x32/apps/$id.png
usr/share/icons/hicolor/48x48/apps/$id.png
usr/share/icons/hicolor/scalable/apps/$id.svg
usr/share/metainfo/$id.metainfo.xml"
actual=$(cd "$root" && find . -type f | sed 's|^\./||' | sort)
if [ "$actual" != "$expected" ]; then
    echo "installed files differ:"; diff <(echo "$expected") <(echo "$actual"); exit 1
fi
for size in 16 32 48 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "$size x $size" \
        || { echo "icon $size is not $size x $size"; exit 1; }
done
desktop-file-validate "$root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$id.metainfo.xml"
grep -q "^Exec=quillmere$" "$root/usr/share/applications/$id.desktop"
echo "installed tree: OK"
