#!/usr/bin/env bash
# Builds examples/component as its author would, with nothing of this
# tree but what cmake --install puts in a prefix: installs the build into
# a fresh prefix, configures and builds the example (find_package(QPM)),
# and compiles and runs a program on the layer found through pkg-config.
# The SDK's tests then run what it made.
# Usage: build_example.sh CMAKE GENERATOR BUILD_DIR EXAMPLE_DIR WORK_DIR [C++ FLAGS]
set -euo pipefail
cmake=$1 generator=$2 build=$3 example=$4 work=$5 flags=${6:-}
prefix=$work/prefix

rm -rf "$work"
mkdir -p "$work"

echo "== cmake --install into $prefix"
"$cmake" --install "$build" --prefix "$prefix"

echo "== the example, against the installed package only"
"$cmake" -S "$example" -B "$work/example" -G "$generator" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_PACKAGE_NO_PACKAGE_REGISTRY=ON -DCMAKE_CXX_FLAGS="$flags"
"$cmake" --build "$work/example"

echo "== a program on the layer, through pkg-config (qpmwin32)"
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
cat >"$work/layer_check.cpp" <<'PROGRAM'
#include <windows.h>
// A movable block allocated, locked and freed: the layer's headers
// compile and its library links and runs.
int main() {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 16);
    if (block == nullptr || GlobalLock(block) == nullptr) return 1;
    GlobalUnlock(block);
    return GlobalFree(block) == nullptr ? 0 : 1;
}
PROGRAM
# shellcheck disable=SC2046,SC2086  # the flags are lists of words
c++ $flags "$work/layer_check.cpp" -o "$work/layer_check" $(pkg-config --cflags --libs qpmwin32) \
  -Wl,-rpath,"$(pkg-config --variable=libdir qpmwin32)"
"$work/layer_check"
echo "== done"
