#!/usr/bin/env bash
# The performance table: builds the benchmark programs (preset "bench",
# Release), runs each (our code and its peer in the same run), and prints
# one table: figure, ours, peer, ratio, target, met or not. The peers
# (OpenSSL, cairo) are installed here when missing; nothing else uses them.
# Usage: scripts/bench.sh [benchmark program names...]   (default: all)
# Each program's full Google Benchmark output goes to build/bench/logs/.
# Exits non-zero when a program failed or a figure has no row.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh libssl-dev libcairo2-dev
cmake --preset bench >/dev/null
cmake --build --preset bench

programs=("$@")
[ ${#programs[@]} -gt 0 ] ||
  programs=(bench_md5 bench_download bench_frame bench_page bench_streamed_text bench_messages bench_startup)

logs=build/bench/logs
mkdir -p "$logs"
rows="$logs/figures.txt"
: >"$rows"
failed=0
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for program in "${programs[@]}"; do
  echo "running $program ..." >&2
  build/bench/bench/"$program" --benchmark_color=false --benchmark_enable_random_interleaving=true \
    >"$logs/$program.log" 2>&1 || {
    echo "$program failed (see $logs/$program.log)" >&2
    failed=1
  }
  grep -o 'FIGURE|.*' "$logs/$program.log" | cut -d'|' -f2- >>"$rows" || true
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

echo
echo "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores;" \
  "load average $load_before before, $load_after after"
awk -F'|' '
  BEGIN { n = 0 }
  { for (i = 1; i <= NF; ++i) { cell[n, i] = $i; if (length($i) > w[i]) w[i] = length($i) } ++n }
  END {
    split("figure|ours|peer|ratio|target|met", head, "|")
    for (i = 1; i <= 6; ++i) if (length(head[i]) > w[i]) w[i] = length(head[i])
    line = ""; rule = ""
    for (i = 1; i <= 6; ++i) {
      line = line sprintf("| %-" w[i] "s ", head[i])
      rule = rule "|" sprintf("%" (w[i] + 2) "s", "")
    }
    gsub(/ /, "-", rule)
    print line "|"; print rule "|"
    for (r = 0; r < n; ++r) {
      line = ""
      for (i = 1; i <= 6; ++i) line = line sprintf("| %-" w[i] "s ", cell[r, i])
      print line "|"
    }
  }' "$rows"
# A figure without a row was not measured: its program failed or skipped it.
if [ $# -eq 0 ]; then
  for figure in 1 2 3 4 5 6 7; do
    grep -q "^$figure " "$rows" || {
      echo "figure $figure: not measured (see $logs)" >&2
      failed=1
    }
  done
fi
exit $failed
