#!/usr/bin/env bash
# The installer under Wine, as an administrator's silent install: setup.exe /S puts the
# program into Program Files\Zorvane with its Start-menu entry and an entry in the list of
# programs; the installed program starts on an event folder; uninstall.exe /S removes all
# of that and leaves the user's event folder (%APPDATA%\zorvane) as it was.
#   tests/package/windows_installer_test.sh build-windows/zorvane-<version>-setup.exe
# Runs in $WINEPREFIX (tools/windows sets up build-windows/wineprefix).
set -euo pipefail
export LC_ALL=C.UTF-8
setup="$(realpath "${1:?usage: windows_installer_test.sh SETUP.exe}")"
: "${WINEPREFIX:?WINEPREFIX must name a Wine prefix of the tests}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH  # the installed program must find its DLLs in its own folder
wine64="${ZV_WINE64:-/usr/lib/wine/wine64}"
wine() { env -u DISPLAY timeout "${WINE_TIMEOUT:-300}" "$wine64" "$@"; }
# The processes of this prefix only; they are all this test's.
trap 'wineserver -k 2>/dev/null || true' EXIT

failures=0
fail() { echo "windows_installer_test: $*" >&2; failures=$((failures + 1)); }

unix_path() { wine winepath -u "$1" 2>/dev/null | tr -d '\r'; }
appdata_win=$(wine cmd /c 'echo %APPDATA%' | tr -d '\r')
programs_win=$(wine cmd /c 'echo %ProgramData%' | tr -d '\r')
programfiles_win=$(wine cmd /c 'echo %ProgramW6432%' | tr -d '\r')
[ -n "$appdata_win" ] && [ -n "$programs_win" ] && [ -n "$programfiles_win" ] ||
  { echo "windows_installer_test: Wine answers no folders" >&2; exit 1; }
event="$(unix_path "$appdata_win")/zorvane"
installed="$(unix_path "$programfiles_win")/Zorvane"
link="$(unix_path "$programs_win")/Microsoft/Windows/Start Menu/Programs/Zorvane抽奖转盘.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zorvane'

# A user's event, which nothing may touch; no earlier installation.
rm -rf "$installed" "$link" "$event"
mkdir -p "$event/奖品图片"
printf '[zbt]\n主标题=我的活动\n' > "$event/config.a"
printf 'picture' > "$event/奖品图片/1.jpg"
event_before=$(cd "$event" && find . -type f -exec md5sum {} + | sort)

echo "windows_installer_test: setup.exe /S"
wine "$setup" /S || fail "setup.exe /S failed (exit $?)"
wineserver -w
for file in zorvane.exe uninstall.exe Qt6Core.dll SDL2_mixer.dll platforms/qwindows.dll \
    translations/qtbase_zh_CN.qm 说明.txt operator-guide.md LICENSE.txt config.a 奖品图片/1.jpg \
    奖品图片/8.jpg; do
  [ -s "$installed/$file" ] || fail "not installed: $file"
done
[ -s "$link" ] || fail "no Start-menu entry: $link"
wine reg query "$key" /v DisplayName >/dev/null 2>&1 || fail "no entry in the list of programs"

# The installed program starts, from its own folder and with its own Windows platform
# plugin, on an X server of the test's, on an event folder of the test's.
if [ -s "$installed/zorvane.exe" ]; then
  start_event="$(unix_path 'C:\')zorvane-installer-test-event"
  rm -rf "$start_event"
  exec {display_fd}<> <(:)
  Xvfb -displayfd "$display_fd" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  read -r -t 30 display <&"$display_fd" || fail "Xvfb did not start"
  (DISPLAY=":$display" SDL_AUDIODRIVER=dummy timeout 60 \
    "$wine64" "$installed/zorvane.exe" 'C:\zorvane-installer-test-event' >/dev/null 2>&1 || true) &
  started=0
  for _ in $(seq 1 60); do
    if [ -e "$start_event/.zorvane.lock" ]; then started=1; break; fi
    sleep 1
  done
  [ "$started" = 1 ] || fail "the installed program did not start on an event folder within 60 s"
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait || true
  rm -rf "$start_event"
fi

echo "windows_installer_test: uninstall.exe /S"
if [ -f "$installed/uninstall.exe" ]; then
  wine "$installed/uninstall.exe" /S || fail "uninstall.exe /S failed (exit $?)"
  # The uninstaller runs from a copy of itself in the temporary folder: wait for it.
  wineserver -w
fi
[ ! -e "$installed" ] || fail "uninstall left: $(cd "$installed" && find . | head -n5 | tr '\n' ' ')"
[ ! -e "$link" ] || fail "uninstall left the Start-menu entry"
! wine reg query "$key" >/dev/null 2>&1 || fail "uninstall left the entry in the list of programs"
event_after=$(cd "$event" 2>/dev/null && find . -type f -exec md5sum {} + | sort)
[ "$event_before" = "$event_after" ] || fail "uninstall changed the user's event folder $event"
rm -rf "$event"

[ "$failures" -eq 0 ] || { echo "windows_installer_test: $failures problem(s)" >&2; exit 1; }
echo "windows_installer_test: silent install, start and uninstall work"
