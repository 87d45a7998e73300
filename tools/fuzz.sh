#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz (clang, AddressSanitizer, UndefinedBehaviorSanitizer;
# the fuzz preset) and runs each for a given time, starting from its checked-in corpus.
# Usage: tools/fuzz.sh [SECONDS [TARGET...]]   (default 60 s each, every target)
# New inputs go to build/fuzz/corpus/<target>, findings to build/fuzz/findings/<target>/; the
# checked-in corpus is only read. Prints one line per target: executions and findings. Exits
# non-zero when any target found a fault. The test command runs it with a few seconds each.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
jobs=$(nproc)
cmake --preset fuzz >/dev/null
if [ $# -gt 0 ]; then
  cmake --build --preset fuzz -j "$jobs" --target "$@" >/dev/null
  targets=("$@")
else
  cmake --build --preset fuzz -j "$jobs" >/dev/null
  targets=()
  for src in tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in "${targets[@]}"; do
  work=build/fuzz/corpus/$t
  findings=build/fuzz/findings/$t
  mkdir -p "$work" "$findings" "tests/fuzz/corpus/$t"
  log=build/fuzz/$t.log
  if build/fuzz/fuzz/"$t" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/" "$work" \
    "tests/fuzz/corpus/$t" >"$log" 2>&1; then
    result=ok
  else
    result="FAULT (see $log)"
    status=1
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  found=$(find "$findings" -type f | wc -l)
  echo "$t: ${execs:-?} executions in ${seconds} s, $found findings, $result"
done
exit $status
