#!/usr/bin/env bash
# tools/windows-dll-check on small program folders built here with the MinGW compiler: a
# program importing a.dll, a.dll importing b.dll, a plugin in a subfolder importing b.dll.
# Each case lays out a folder and says whether the check must pass and what it must name.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
check="$root/tools/windows-dll-check"
cc=x86_64-w64-mingw32-gcc
command -v "$cc" >/dev/null || { echo "skipped: $cc is missing"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
echo 'int b(void) { return 2; }' > b.c
echo 'int b(void); int a(void) { return b() + 1; }' > a.c
echo 'int b(void); int plugin(void) { return b(); }' > p.c
echo 'int a(void); int main(void) { return a(); }' > main.c
"$cc" -shared -o b.dll b.c
"$cc" -shared -o a.dll a.c b.dll
"$cc" -shared -o plugin.dll p.c b.dll
"$cc" -o app.exe main.c a.dll

# lay_out NAME FILE=PLACE...: a program folder with those built files at those places.
lay_out() {
  local dir="$work/$1"
  shift
  mkdir -p "$dir"
  local pair
  for pair in "$@"; do
    mkdir -p "$(dirname "$dir/${pair#*=}")"
    cp "$work/${pair%%=*}" "$dir/${pair#*=}"
  done
}

failures=0
# expect NAME pass|fail [TEXT]: runs the check on the folder; a failure must name TEXT.
expect() {
  local name="$1" outcome="$2" text="${3:-}" output rc=0
  output=$("$check" "$work/$name" 2>&1) || rc=$?
  if [ "$outcome" = pass ] && [ "$rc" -ne 0 ]; then
    echo "FAIL $name: the check failed: $output"; failures=$((failures + 1)); return
  fi
  if [ "$outcome" = fail ] && [ "$rc" -eq 0 ]; then
    echo "FAIL $name: the check passed: $output"; failures=$((failures + 1)); return
  fi
  if [ -n "$text" ] && [[ "$output" != *"$text"* ]]; then
    echo "FAIL $name: the output does not name '$text': $output"; failures=$((failures + 1)); return
  fi
  echo "ok   $name"
}

lay_out complete app.exe=app.exe a.dll=a.dll b.dll=b.dll plugin.dll=plugins/plugin.dll
expect complete pass
lay_out program_misses_a app.exe=app.exe b.dll=b.dll
expect program_misses_a fail "app.exe needs a.dll"
lay_out dll_misses_b app.exe=app.exe a.dll=a.dll
expect dll_misses_b fail "a.dll needs b.dll"
lay_out plugin_misses_b app.exe=app.exe a.dll=a.dll plugin.dll=plugins/plugin.dll
expect plugin_misses_b fail "plugins/plugin.dll needs b.dll"
# Windows does not look in a plugin folder for the DLLs of the program.
lay_out b_only_in_plugins app.exe=app.exe a.dll=a.dll b.dll=plugins/b.dll
expect b_only_in_plugins fail "a.dll needs b.dll"
# Windows names are case-blind: B.DLL is b.dll.
lay_out other_case app.exe=app.exe a.dll=A.DLL b.dll=B.Dll
expect other_case pass
lay_out empty
expect empty fail "no .exe or .dll"
# A file that is not a Windows module at all is reported, not taken as having no imports.
lay_out not_a_module app.exe=app.exe a.dll=a.dll b.dll=b.dll main.c=broken.dll
expect not_a_module fail "cannot read broken.dll"

[ "$failures" -eq 0 ] || { echo "$failures case(s) failed"; exit 1; }
