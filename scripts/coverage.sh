#!/usr/bin/env bash
# Line and branch coverage of the libraries and qpmhost by the whole test
# suite: builds the coverage preset (gcc --coverage), runs every test,
# and prints the coverage per top-level folder with gcovr. Branches that
# only exception handling takes are not counted. The per-file report is
# written to build/coverage/coverage.txt.
# Usage: scripts/coverage.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh gcovr
cmake --preset coverage >/dev/null
cmake --build --preset coverage
find build/coverage -name '*.gcda' -delete
# A test that fails still counts what it ran; the suite's verdict is
# scripts/test.sh's, so a failure here is reported, not fatal.
ctest --preset coverage -j "$(nproc)" >build/coverage/ctest.log 2>&1 ||
  echo "coverage: some tests failed (build/coverage/ctest.log)" >&2

filters=(--root . --filter '(platform|framework|ticker|installer|adapters|host|common)/'
         --exclude-throw-branches --exclude-unreachable-branches -j "$(nproc)")
gcovr "${filters[@]}" --txt build/coverage/coverage.txt --json-summary build/coverage/summary.json \
  build/coverage >/dev/null
python3 - build/coverage/summary.json <<'PY'
import json, sys
totals = {}
for f in json.load(open(sys.argv[1]))["files"]:
    folder = f["filename"].split("/")[0]
    t = totals.setdefault(folder, [0, 0, 0, 0])
    for i, key in enumerate(("line_covered", "line_total", "branch_covered", "branch_total")):
        t[i] += f[key]
def pct(a, b):
    return f"{100.0 * a / b:5.1f}%" if b else "    -"
print(f"{'folder':<12}{'lines':>18}{'':>8}{'branches':>18}")
all_ = [0, 0, 0, 0]
for folder in sorted(totals):
    t = totals[folder]
    all_ = [a + b for a, b in zip(all_, t)]
    print(f"{folder:<12}{t[0]:>8}/{t[1]:<8}{pct(t[0], t[1])}{t[2]:>9}/{t[3]:<8}{pct(t[2], t[3])}")
print(f"{'total':<12}{all_[0]:>8}/{all_[1]:<8}{pct(all_[0], all_[1])}{all_[2]:>9}/{all_[3]:<8}{pct(all_[2], all_[3])}")
PY
