#!/usr/bin/env bash
# check_package.sh <build folder> <application id>
# Builds the .deb of the build folder, unpacks it into a temporary root and
# checks that the desktop finds Wendra there: the program, its desktop entry
# and software-centre description (both validated), every icon size, and the
# help pages with everything they link to.
set -euo pipefail
build=$1
id=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/out/*.deb)
dpkg -x "$deb" "$scratch/root"
usr=$scratch/root/usr

# Dependencies come from the libraries the program links, not from a list.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6printsupport6 libsqlite3-0 libical3 libc6; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

[ -x "$usr/bin/wendra" ] || fail "no usr/bin/wendra"
desktop=$usr/share/applications/$id.desktop
metainfo=$usr/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "metainfo does not validate"
grep -qx 'Exec=wendra' "$desktop" || fail "desktop entry does not start wendra"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "metainfo names another desktop entry"

icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 22 24 32 48 64 128 256 512; do
  png=$usr/share/icons/hicolor/${size}x$size/apps/$icon.png
  [ "$(file -b "$png" 2>/dev/null | grep -o "$size x $size")" = "$size x $size" ] ||
    fail "icon $png is missing or not $size px"
done
[ -s "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"

# The installed program looks for its pages in ../share/wendra/help.
help=$usr/share/wendra/help
for page in doc/doc.html support.html; do
  [ -s "$help/$page" ] || { fail "no help page $page"; continue; }
  folder=$(dirname "$help/$page")
  # Links of their own, not web addresses or places inside the page.
  for link in $(grep -o -E '(src|href)="[^"]+' "$help/$page" | sed 's/^[a-z]*="//; s/#.*//' |
                grep -v -E '^$|^[a-z]+:'); do
    [ -e "$folder/$link" ] || fail "$page links to missing $link"
  done
done
[ -s "$usr/share/doc/wendra/LICENSE" ] || fail "no licence"

[ $failures -eq 0 ] && echo "package $(basename "$deb") is complete"
exit $((failures > 0))
