#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it: lintian without errors, the
# desktop entry and the AppStream metainfo valid, and the contents an installation needs
# (the program, icons at every size, the sample pictures, the operator guide with its
# pictures, dependencies on the libraries and the CJK fonts). Exits 77 (skipped) naming the
# tool that this machine lacks.
# usage: check_package.sh <build-dir>
set -uo pipefail
# The sample event's folder names are Chinese: cpack's archiver needs a UTF-8 locale to
# read them (CI and fresh machines may start with none).
export LC_ALL=C.UTF-8
build=$1

for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (apt-get install lintian desktop-file-utils appstream dpkg-dev)"
    exit 77
  fi
done

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -f "$build"/zorvane_*_amd64.deb
if ! (cd "$build" && cpack -G DEB >cpack.log 2>&1); then
  cat "$build/cpack.log"
  fail "cpack could not build the package"
  exit 1
fi
debs=("$build"/zorvane_*_amd64.deb)
deb=${debs[0]}
[ -f "$deb" ] || { fail "no build/zorvane_<version>_amd64.deb"; exit 1; }
echo "package: $deb"

# lintian: errors fail the test, warnings are shown.
lintian --fail-on error "$deb" >"$build/lintian.log" 2>&1
lintian_rc=$?
grep -v 'running with root privileges' "$build/lintian.log"
[ "$lintian_rc" -eq 0 ] || fail "lintian reports errors"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
id=$(basename "$tree"/usr/share/applications/*.desktop .desktop)
desktop="$tree/usr/share/applications/$id.desktop"
metainfo="$tree/usr/share/metainfo/$id.metainfo.xml"

desktop-file-validate "$desktop" || fail "desktop-file-validate: $desktop"
# Warnings are shown; only errors fail.
appstream_out=$(appstreamcli validate --no-net --explain "$metainfo" 2>&1)
echo "$appstream_out" | grep -E '^[EW]:' || true
echo "$appstream_out" | grep -q '^E:' && fail "appstreamcli reports errors"

# What an installed program needs.
[ -x "$tree/usr/bin/zorvane" ] || fail "no /usr/bin/zorvane"
grep -qx 'Exec=zorvane' "$desktop" || fail "the desktop entry does not start zorvane"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
grep -q '^Name=.*抽奖' "$desktop" || fail "the desktop entry has no Chinese name"
grep -q '^Comment=' "$desktop" || fail "the desktop entry has no comment"
grep -qE '^Categories=.*(Office|Utility);' "$desktop" || fail "the desktop entry is in neither Office nor Utility"
for size in 16 22 24 32 48 64 128 256; do
  icon="$tree/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
  if [ ! -f "$icon" ]; then
    fail "no ${size}x${size} icon"
  elif ! file "$icon" | grep -q "PNG image data, $size x $size"; then
    fail "the ${size}x${size} icon is $(file -b "$icon")"
  fi
done
for rank in 1 2 3 4 5 6 7 8; do
  [ -s "$tree/usr/share/zorvane/sample-event/奖品图片/$rank.jpg" ] || fail "no sample picture $rank.jpg"
done
# The operator guide, and every picture it shows beside it.
guide="$tree/usr/share/doc/zorvane/operator-guide.md"
if [ -s "$guide" ]; then
  for picture in $(grep -oE '\]\([^)]+\.png\)' "$guide" | sed -E 's/^\]\(//; s/\)$//' | sort -u); do
    [ -s "$tree/usr/share/doc/zorvane/$picture" ] ||
      fail "the operator guide shows $picture, which is not installed beside it"
  done
else
  fail "no operator guide /usr/share/doc/zorvane/operator-guide.md"
fi
# Free software under the GPL, and no address made up for a home page or screenshot.
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" ||
  fail "the metainfo does not give the GPL-3.0-or-later licence"
grep -qx 'License: GPL-3.0-or-later' "$tree/usr/share/doc/zorvane/copyright" ||
  fail "the copyright file does not give the GPL-3.0-or-later licence"
grep -q '/usr/share/common-licenses/GPL-3' "$tree/usr/share/doc/zorvane/copyright" ||
  fail "the copyright file does not point at the GPL's text"
if grep -rlE '[a-z0-9-]+\.example\b' "$metainfo" "$tree/usr/share/doc/zorvane/copyright" \
     "$desktop"; then
  fail "a made-up example address is shipped"
fi
[ -z "$(dpkg-deb -f "$deb" Homepage)" ] || fail "a Homepage is given though none exists"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in fonts-noto-cjk fonts-arphic-uming fonts-arphic-ukai libqt6widgets6 libjpeg62-turbo \
               libsdl2-mixer-2.0-0 qt6-translations-l10n; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package"
done
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "zorvane_${version}_amd64.deb" ] || fail "file name does not carry version $version"

[ "$failures" -eq 0 ] && echo "package checks passed" || echo "$failures package checks failed"
[ "$failures" -eq 0 ]
