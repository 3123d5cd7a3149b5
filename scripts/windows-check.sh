#!/usr/bin/env bash
# The Windows check. Builds the component libraries as the 32-bit DLLs
# they are designed as and checks each one's tables: exactly the exports
# its exports.txt lists, stdcall behind every export, nothing imported
# but Windows' own DLLs; the 32-bit build also compiles every test
# program (32-bit layouts and stdcall declarations), which cannot run
# here. Then builds the 64-bit libraries and test programs and runs the
# tests under wine64 with the null display driver, in a Wine prefix made
# afresh, and prints for each program how many ran, passed, were skipped
# (and why) and failed. Exits non-zero on any failure.
# Usage: scripts/windows-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 googletest

# The DLLs a component library may import: parts of Windows itself.
system_dlls=" kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll shell32.dll ole32.dll
  oleaut32.dll comctl32.dll comdlg32.dll version.dll winmm.dll ws2_32.dll wininet.dll shlwapi.dll "

failures=0
fail() {
  echo "windows-check: FAIL: $*" >&2
  failures=$((failures + 1))
}

# The names in a DLL's export table, sorted.
exports_of() {
  "$objdump" -p "$1" | awk '/\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
                            on && /^[ \t]*\[/ { print $NF; next }
                            on { on = 0 }' | sort
}

# The address each export name stands for: "name address", one a line.
export_addresses() {
  local line base=0 section= name_index
  local -A rva=()
  while IFS= read -r line; do
    if [[ $line =~ ^ImageBase[[:space:]]+([0-9a-fA-F]+) ]]; then
      base=$((16#${BASH_REMATCH[1]}))
    elif [[ $line == *"Export Address Table -- Ordinal Base"* ]]; then
      section=addresses
    elif [[ $line == *"[Ordinal/Name Pointer] Table"* ]]; then
      section=names
    elif [[ $section == addresses && $line =~ ^[[:space:]]*\[\ *([0-9]+)\].*[[:space:]]([0-9a-fA-F]+)\ Export\ RVA ]]; then
      rva[${BASH_REMATCH[1]}]=$((16#${BASH_REMATCH[2]}))
    elif [[ $section == names && $line =~ ^[[:space:]]*\[\ *([0-9]+)\]\ (.+)$ ]]; then
      name_index=${BASH_REMATCH[1]}
      echo "${BASH_REMATCH[2]} $((base + ${rva[$name_index]:-0}))"
    elif [[ -z $line ]]; then
      section=
    fi
  done < <("$objdump" -p "$1")
}

# The symbols of a DLL: "address name", the address in decimal.
symbols_of() {
  local address type name
  "$nm" "$1" | while read -r address type name; do
    [ -n "$name" ] && echo "$((16#$address)) $name"
  done
}

# Each export must be a stdcall function: the symbol at its address is
# decorated with the bytes its callee pops (_Name@N).
check_stdcall() {
  local dll=$1 name address plain here decorated symbols
  symbols=$(symbols_of "$dll")
  while read -r name address; do
    plain=${name#_}
    plain=${plain%@*}
    here=$(awk -v a="$address" '$1 == a { print $2 }' <<<"$symbols")
    decorated=$(grep -E "^_${plain}@[0-9]+$" <<<"$here" || true)
    if [ -z "$decorated" ]; then
      fail "$dll: export $name is not a stdcall function (symbols there: ${here//$'\n'/ })"
    else
      echo "  $name -> $decorated"
    fi
  done < <(export_addresses "$dll")
}

# Compares one DLL with its exports list and checks what it imports.
check_library() {
  local dll=$1 list=$2 bits=$3 expected actual dll_import
  echo "$dll ($bits-bit):"
  expected=$(grep -v '^[[:space:]]*$' "$list" | sort)
  actual=$(exports_of "$dll")
  if [ "$expected" != "$actual" ]; then
    fail "$dll: exports differ from $list"
    diff <(echo "$expected") <(echo "$actual") | sed 's/^/    /' >&2 || true
  fi
  echo "  exports: $(echo $actual)"
  [ "$bits" = 32 ] && check_stdcall "$dll"
  while read -r dll_import; do
    case "$system_dlls" in
      *" ${dll_import,,} "*) ;;
      *) fail "$dll imports $dll_import, which is not a Windows system DLL" ;;
    esac
  done < <("$objdump" -p "$dll" | awk '/DLL Name:/ { print $3 }')
  echo "  imports: $("$objdump" -p "$dll" | awk '/DLL Name:/ { printf "%s ", $3 }')"
}

# Every component library the build made, as listed by CMake: the ticker
# and the installer at least.
check_build() {
  local build=$1 bits=$2 dll list expected
  [ -s "$build/component-libraries.txt" ] || { fail "$build has no component libraries"; return; }
  for expected in pellux.dll varnoq.dll; do
    grep -q "/$expected"$'\t' "$build/component-libraries.txt" || fail "$build made no $expected"
  done
  while IFS=$'\t' read -r dll list; do
    [ -n "$dll" ] && check_library "$dll" "$list" "$bits"
  done <"$build/component-libraries.txt"
}

# --- 32-bit: the DLLs as designed, and the tests compiled.
objdump=i686-w64-mingw32-objdump
nm=i686-w64-mingw32-nm
cmake --preset win32
cmake --build --preset win32
check_build build/win32 32

# --- 64-bit: libraries and test programs.
objdump=x86_64-w64-mingw32-objdump
nm=x86_64-w64-mingw32-nm
cmake --preset win64
cmake --build --preset win64
check_build build/win64 64

# --- The tests under wine64, null display driver, a fresh prefix.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX="$PWD/build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
rm -rf "$WINEPREFIX"
"$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
"$wineserver" -w
"$wineserver" -p  # one server for every test program, until -k below

# One ctest run per test program, each with its own results: ran,
# passed, skipped (with each test's reason) and failed.
ran=0 passed=0 skipped=0 failed=0
attribute() { sed -n "s/^[[:space:]]*$1=\"\([0-9]*\)\"/\1/p" "$2" | head -n 1; }
skip_reasons() {
  awk '/<testcase / && /status="notrun"/ { match($0, /name="[^"]*"/); name = substr($0, RSTART + 6, RLENGTH - 7); next }
       name != "" && /: Skipped$/ { getline; printf "    %s: %s\n", name, $0; name = "" }' "$1"
}
# Tests that failed without printing a line: their program never got to
# its first line, because Wine did not start it (rare, when the machine
# is loaded). Each such test runs once more; one that printed anything
# and failed never does.
unstarted() {
  python3 - "$1" <<'PY'
import sys, xml.etree.ElementTree as ET
for case in ET.parse(sys.argv[1]).iter("testcase"):
    if case.get("status") == "fail" and not (case.findtext("system-out") or "").strip():
        print(case.get("name"))
PY
}
summary=
# The programs are ctest's labels (each test is labelled with its program).
programs=$(ctest --preset win64 --print-labels | sed -n 's/^  //p')
[ -n "$programs" ] || fail "no test program found"
for program in $programs; do
  junit="$PWD/build/win64/wine-$program.xml"
  rm -f "$junit"
  # The window half's tests check activation and paint order, which belong
  # to the one desktop all of the server's processes share: another test's
  # window appearing meanwhile deactivates theirs. They run one at a time.
  jobs=$(nproc)
  [ "$program" != test_user ] || jobs=1
  complete=1
  ctest --preset win64 -j "$jobs" -L "^$program\$" --output-junit "$junit" || complete=0
  if [ ! -s "$junit" ]; then
    fail "$program: no test results"
    continue
  fi
  n=$(attribute tests "$junit") f=$(attribute failures "$junit") s=$(attribute skipped "$junit")
  again=
  if [ "$complete" -eq 0 ]; then
    for name in $(unstarted "$junit"); do
      if ctest --preset win64 -R "^${name//./\\.}\$" >/dev/null 2>&1; then
        f=$((f - 1))
        again+="    $name: not started by Wine at first; passed when run again"$'\n'
      fi
    done
    # Forgiven only when every failure was such a test.
    [ "$f" -eq 0 ] && [ -n "$again" ] || fail "$program failed under Wine"
  fi
  [ "$n" -gt 0 ] || fail "$program: no test ran under Wine"
  ran=$((ran + n)) failed=$((failed + f)) skipped=$((skipped + s)) passed=$((passed + n - f - s))
  summary+="  $program: $n ran, $((n - f - s)) passed, $s skipped, $f failed"$'\n'$again
  reasons=$(skip_reasons "$junit")
  if [ -n "$reasons" ]; then summary+="$reasons"$'\n'; fi
done
"$wineserver" -k || true

echo "Under Wine, per test program (skipped tests with their reasons):"
printf '%s' "$summary"
echo "Windows check: $ran tests ran under Wine, $skipped skipped, $failures check(s) failed"
echo "wine: $passed passed, $failed failed, $skipped skipped"
[ "$failures" -eq 0 ]
