#!/usr/bin/env bash
# The tree's lint, run by CI before the tests; exits non-zero on any finding.
#   format    every C/C++ file as .clang-format lays it out (checked, not
#             changed: clang-format -i FILE mends one)
#   includes  no file outside framework/ includes one of the framework's
#             private headers (framework/src); each host/ folder includes
#             only itself and the folders below it, and never the framework
#   tidy      clang-tidy with .clang-tidy's checks over the default preset's
#             compile database: the libraries' and qpmhost's own sources
#             (their headers with them), one file per core at a time
#   tidy-tests  the same over the test programs: five times the work of
#             the sources (gtest is heavy to parse), so not a default step
# Usage: scripts/lint.sh [format|includes|tidy|tidy-tests]...
#        (default: format includes tidy, what CI runs)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

failures=0
fail() {
  echo "lint: $*" >&2
  failures=$((failures + 1))
}

# The C and C++ files of the tree, tracked or new (not ignored).
sources() {
  git ls-files --cached --others --exclude-standard -- '*.c' '*.cpp' '*.h' | sort -u
}

# "file:line:included path" for every #include of the given files.
includes_of() {
  grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "$@" /dev/null |
    sed -E 's/^([^:]*):([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]*)[>"].*/\1:\2:\3/'
}

check_format() {
  echo "== clang-format"
  local differ
  differ=$(sources | xargs -r clang-format --dry-run 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning:.*/\1/p' | sort -u)
  if [ -n "$differ" ]; then
    fail "not formatted as .clang-format says (clang-format -i to mend):"
    echo "$differ" | sed 's/^/  /' >&2
  fi
}

check_includes() {
  echo "== includes"
  local file line path base folder allowed
  # The framework's private headers, reached from outside the framework.
  local -A private=()
  for path in framework/src/*.h; do private[$(basename "$path")]=1; done
  while IFS=: read -r file line path; do
    base=$(basename "$path")
    [ -n "${private[$base]:-}" ] || continue
    # A header of the same name beside the including file is its own.
    [ -f "$(dirname "$file")/$path" ] && [[ $(realpath "$(dirname "$file")/$path") != "$root/framework/src/"* ]] && continue
    fail "$file:$line: includes the framework's private header $path"
  done < <(includes_of $(sources | grep -v '^framework/'))
  if grep -rn --include=CMakeLists.txt --include='*.cmake' 'framework/src' . --exclude-dir=build --exclude-dir=framework; then
    fail "a CMake file outside framework/ puts framework/src on an include path"
  fi

  # host/: app -> session -> net, page; app -> output; the contract only.
  local -A below=(
    [app]="app session output net page"
    [session]="session net page"
    [output]="output"
    [net]="net"
    [page]="page")
  local framework_headers
  framework_headers=" $(cd framework/include/qpm && echo *.h) "
  while IFS=: read -r file line path; do
    folder=${file#host/}
    folder=${folder%%/*}
    allowed=${below[$folder]:-}
    if [[ $path =~ ^(app|session|output|net|page)/ ]] && [[ " $allowed " != *" ${BASH_REMATCH[1]} "* ]]; then
      fail "$file:$line: host/$folder includes $path, which is not below it"
    fi
    if [[ $path == qpm/* && $framework_headers == *" ${path#qpm/} "* ]]; then
      fail "$file:$line: the host includes the framework's $path (it speaks the contract only)"
    fi
  done < <(includes_of $(sources | grep '^host/'))
}

# clang-tidy over the files of the given top folders.
check_tidy() {
  local folders=$1 escaped log start=$SECONDS
  echo "== clang-tidy: $folders"
  cmake --preset default >/dev/null  # writes build/default/compile_commands.json
  escaped=$(printf '%s' "$root" | sed 's/[.[\*^$()+?{|]/\\&/g')
  log=$(mktemp)
  # Without colour codes, so the log reads (and greps) as plain text.
  run-clang-tidy -p build/default -j "$(nproc)" -quiet "^$escaped/($folders)/" 2>&1 |
    sed 's/\x1b\[[0-9;]*m//g' >"$log" || true
  local files
  files=$(grep -c '^clang-tidy' "$log" || true)
  echo "   $files files in $((SECONDS - start)) s"
  if [ "$files" -eq 0 ]; then
    fail "clang-tidy checked no file:"
    cat "$log" >&2
  elif grep -qE '(warning|error):' "$log"; then
    fail "clang-tidy findings:"
    grep -vE '^(clang-tidy|[0-9]+ warnings? generated|Suppressed|Use -header-filter|Enabled checks|Running clang-tidy)' "$log" >&2
  fi
  rm -f "$log"
}

scripts/install-deps.sh clang-format clang-tidy
steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(format includes tidy)
for step in "${steps[@]}"; do
  case $step in
    format) check_format ;;
    includes) check_includes ;;
    tidy) check_tidy "platform|framework|ticker|installer|adapters|host" ;;
    tidy-tests) check_tidy "tests" ;;
    *) echo "lint: unknown step $step (format, includes, tidy, tidy-tests)" >&2; exit 2 ;;
  esac
done
[ "$failures" -eq 0 ] && echo "lint: clean"
[ "$failures" -eq 0 ]
