#!/usr/bin/env bash
# Runs a Windows program under wine64: the emulator of the win64 build, so
# ctest and test discovery run the test programs through it.
# The program's output goes through a file: Wine's own processes that a
# program starts (the desktop, device services) live on and inherit its
# output, and a pipe held by them would keep the caller waiting.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
out=$(mktemp)
"$wine" "$@" >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit "$status"
