#!/usr/bin/env bash
# check_package.sh <build folder> <application id>
# Builds the .deb of the build folder, unpacks it into a temporary root and
# checks that the desktop finds Wendra there: the program, its desktop entry
# and software-centre description (both validated), every icon size, and the
# help pages with everything they link to.
set -euo pipefail
id=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack -G DEB --config "$1/CPackConfig.cmake" -B "$scratch/out" >"$scratch/log" 2>&1 || { cat "$scratch/log"; exit 1; }
deb=$(ls "$scratch"/out/*.deb)
dpkg -x "$deb" "$scratch/root"
usr=$scratch/root/usr

# Dependencies come from the libraries the program links, not from a list.
for library in libqt6widgets6 libqt6printsupport6 libsqlite3-0 libical3 libc6; do
  [[ $(dpkg-deb -f "$deb" Depends) == *"$library"* ]] || fail "Depends lacks $library"
done
[ -x "$usr/bin/wendra" ] || fail "no usr/bin/wendra"
desktop-file-validate "$usr/share/applications/$id.desktop" || fail "desktop entry does not validate"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" || fail "metainfo does not validate"
grep -q "<launchable type=\"desktop-id\">$id.desktop<" "$usr/share/metainfo/$id.metainfo.xml" || fail "metainfo names another entry"

icon=$(sed -n 's/^Icon=//p' "$usr/share/applications/$id.desktop")
for size in 16 22 24 32 48 64 128 256 512; do
  file -b "$usr/share/icons/hicolor/${size}x$size/apps/$icon.png" | grep -q "$size x $size" || fail "no $size px icon"
done
[ -s "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"

# The installed program looks for its pages in ../share/wendra/help; their
# own links (not web addresses, not places inside a page) must resolve.
for page in doc/doc.html support.html; do
  path=$usr/share/wendra/help/$page
  [ -s "$path" ] || fail "no $page"
  for link in $(grep -o -E '(src|href)="[^"]+' "$path" | sed 's/^[a-z]*="//; s/#.*//' | grep -v -E '^$|^[a-z]+:'); do
    [ -e "$(dirname "$path")/$link" ] || fail "$page links to missing $link"
  done
done
exit $((failures > 0))
