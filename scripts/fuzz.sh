#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset: clang, libFuzzer, ASan, UBSan)
# and runs each in turn for SECONDS (30), from its seed corpus in
# fuzz/corpus/<name> and the inputs earlier runs kept in
# build/fuzz/corpus/<name>, with its dictionary when it has one. Prints
# per target the executions, the edges covered and the corpus size;
# exits non-zero when a target found something: the input is in
# build/fuzz/findings/<name>/, the log beside it, and both are printed
# (the input as od hex) so a CI log is enough to reproduce it.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (default: every target)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

scripts/install-deps.sh clang libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
found=0
printf '%-16s %12s %8s %8s %8s  %s\n' target executions exec/s edges corpus result
for target in "${targets[@]}"; do
  work=build/fuzz/corpus/$target
  findings=build/fuzz/findings/$target
  log=$findings/fuzz.log
  mkdir -p "$work" "$findings"
  args=(-max_total_time="$seconds" -print_final_stats=1 -timeout=20 -rss_limit_mb=3072
        -artifact_prefix="$findings/")
  [ -f "fuzz/dict/$target.dict" ] && args+=(-dict="fuzz/dict/$target.dict")
  result=clean
  finding=
  if ! "build/fuzz/fuzz/fuzz_$target" "${args[@]}" "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
    finding=$(ls -t "$findings" | grep -v fuzz.log | head -1)
    result="FOUND: ${finding:-no input kept} (see $log)"
    found=1
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  edges=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  corpus=$(find "$work" -type f | wc -l)
  printf '%-16s %12s %8s %8s %8s  %s\n' "$target" "${executions:-?}" "${rate:-?}" "${edges:-?}" \
    "$corpus" "$result"
  if [ "$result" != clean ]; then
    grep -m1 '^INFO: Seed:' "$log" || true
    # From the first report on (a broken promise, a sanitizer's or
    # libFuzzer's error), less progress lines and leak-check summaries.
    awk '/broken promise|^==[0-9]+== *ERROR|^ERROR:|^SUMMARY:/ { on = 1 } on' "$log" |
      grep -v -E '^(#[0-9]|INFO:|MS:|base unit:|stat::|-+$|Suppressions used:|  count|  *[0-9]+  *[0-9]+ )' |
      head -40
  fi
  if [ -n "$finding" ]; then
    echo "input ($(stat -c %s "$findings/$finding") bytes):"
    od -A x -t x1z -v "$findings/$finding" | head -64
  fi
done
exit $found
