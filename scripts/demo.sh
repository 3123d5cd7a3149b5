#!/usr/bin/env bash
# The main command: installs what the build needs (only what is missing),
# builds qpmhost and the ticker library, and shows examples/demo.html live
# in this terminal. Options go to qpmhost: scripts/demo.sh --x11 shows the
# page in an X11 window instead. q or Ctrl-C quits.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
if [ ! -f build/default/build.ninja ]; then
  cmake --preset default > /dev/null
fi
cmake --build build/default --target qpmhost pellux
exec build/default/host/qpmhost "$@" examples/demo.html
