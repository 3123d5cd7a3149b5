#!/usr/bin/env bash
# The main command: installs what the build needs (only what is missing),
# builds qpmhost and the ticker library, and shows examples/demo.html live:
# in a window when there is a display ($WAYLAND_DISPLAY or $DISPLAY),
# else in this terminal. Options go to qpmhost: scripts/demo.sh --terminal
# shows the page in the terminal even when there is a display. q or
# Ctrl-C quits (in the window also Escape, or closing it).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
if [ ! -f build/default/build.ninja ]; then
  cmake --preset default > /dev/null
fi
cmake --build build/default --target qpmhost pellux

# A window when there is a display, unless the options choose the output.
output=()
if [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${DISPLAY:-}" ]; then
  output=(--window)
  for argument in "$@"; do
    case "$argument" in
      --terminal | --term-graphics | --window | --x11 | --png | --gif | --apng | --print | --null)
        output=()
        ;;
    esac
  done
fi
exec build/default/host/qpmhost "${output[@]}" "$@" examples/demo.html
