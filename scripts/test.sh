#!/usr/bin/env bash
# The whole test suite: installs what the build needs, configures, builds
# and runs every test with ctest. Exits non-zero on any failure.
# Usage: scripts/test.sh [preset]   (default: "default"; "asan" for sanitizers)
set -euo pipefail
cd "$(dirname "$0")/.."

preset="${1:-default}"
scripts/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
