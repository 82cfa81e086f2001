#!/usr/bin/env bash
# The installed tree: `cmake --install` of the build into a scratch prefix puts the program, its
# desktop entry, icons and metainfo where a desktop looks, its manual page, copyright and
# changelog where a distribution's tools look, and Debian's validators accept them.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

cmake --install "$build" --prefix "$root/usr" > /dev/null
id=example.quillmere.Quillmere
expected="usr/bin/quillmere
usr/share/applications/$id.desktop
usr/share/doc/quillmere/changelog.gz
usr/share/doc/quillmere/copyright
usr/share/icons/hicolor/16x16/apps/$id.png
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/32x32/apps/$id.png
usr/share/icons/hicolor/48x48/apps/$id.png
usr/share/icons/hicolor/scalable/apps/$id.svg
usr/share/man/man1/quillmere.1.gz
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
# The manual page renders with no warning from groff, and indexes under its name.
page=$root/usr/share/man/man1/quillmere.1.gz
warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 > /dev/null)
[ -z "$warnings" ] || { echo "man --warnings: $warnings"; exit 1; }
lexgrog "$page" | grep -q '"quillmere - ' || { echo "lexgrog finds no NAME line: $(lexgrog "$page")"; exit 1; }
# The changelog's latest entry is this version.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
gzip -dc "$root/usr/share/doc/quillmere/changelog.gz" > "$root/changelog"
changelog_version=$(dpkg-parsechangelog -l "$root/changelog" -S Version)
[ "$changelog_version" = "$version" ] || { echo "changelog is for $changelog_version, not $version"; exit 1; }
echo "installed tree: OK"
