#!/usr/bin/env bash
# The portable zip as a user unpacks it: one folder named like the zip, holding the program,
# the DLLs it imports (tools/windows-dll-check), Qt's plugins and Chinese translation, the
# sample event beside the program, 说明.txt as Windows editors read it (UTF-8 with a
# byte-order mark, CRLF), the operator guide and the licences.
#   tests/package/check_windows_zip.sh build-windows/zorvane-<version>-windows-x64.zip
set -euo pipefail
export LC_ALL=C.UTF-8
root="$(cd "$(dirname "$0")/../.." && pwd)"
zip="$(realpath "${1:?usage: check_windows_zip.sh ZIP}")"
name="$(basename "$zip" .zip)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"

failures=0
fail() { echo "check_windows_zip: $*" >&2; failures=$((failures + 1)); }

tops=$(ls -A "$work")
[ "$tops" = "$name" ] || fail "the zip should hold one folder $name, holds: $tops"
dir="$work/$name"

for file in zorvane.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll SDL2.dll SDL2_mixer.dll \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll \
    styles/qwindowsvistastyle.dll translations/qtbase_zh_CN.qm 说明.txt operator-guide.md LICENSE.txt \
    config.a; do
  [ -s "$dir/$file" ] || fail "missing or empty: $file"
done
for rank in 1 2 3 4 5 6 7 8; do
  [ -s "$dir/奖品图片/$rank.jpg" ] || fail "missing: 奖品图片/$rank.jpg"
done
[ -n "$(find "$dir/licenses" -type f 2>/dev/null | head -n1)" ] || fail "no licence texts in licenses/"
# Headless and test-only parts stay out of what users get.
for file in platforms/qoffscreen.dll platforms/qminimal.dll Qt6Test.dll core_tests.exe widget_tests.exe; do
  [ ! -e "$dir/$file" ] || fail "should not be shipped: $file"
done

readme="$dir/说明.txt"
if [ -f "$readme" ]; then
  [ "$(head -c3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
    fail "说明.txt does not start with a UTF-8 byte-order mark"
  lines=$(wc -l < "$readme")
  crlf=$(grep -c $'\r$' "$readme" || true)
  [ "$lines" -gt 0 ] && [ "$crlf" -eq "$lines" ] || fail "说明.txt: $crlf of $lines lines end in CRLF"
  iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null 2>&1 || fail "说明.txt is not valid UTF-8"
  grep -q '%APPDATA%\\zorvane' "$readme" || fail "说明.txt does not name %APPDATA%\\zorvane"
fi

bash "$root/tools/windows-dll-check" "$dir" || fail "DLLs missing from the zip"
[ "$failures" -eq 0 ] || { echo "check_windows_zip: $failures problem(s) in $zip" >&2; exit 1; }
echo "check_windows_zip: $zip is complete"
