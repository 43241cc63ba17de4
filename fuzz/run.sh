#!/usr/bin/env bash
# fuzz/run.sh [seconds] [target...]: builds the libFuzzer targets with clang and
# runs each for the given time (60 s by default), one after the other. The
# corpus grows under the build folder, seeded from fuzz/corpus/<target>/; an
# input that fails is written to fuzz/crashes/<target>/, to be kept in the
# corpus once the fault is fixed. Exits 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(SetFile StartUp CopyRules CmdOptions Listing)

./scripts/install-deps.sh fuzz
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
./scripts/build.sh fuzz "${targets[@]/#/fuzz_}"

build=${KELVORIN_BUILD_ROOT:-build}/fuzz
export UBSAN_OPTIONS=print_stacktrace=1
found=0
for t in "${targets[@]}"; do
  work=$build/corpus/$t crashes=fuzz/crashes/$t log=$build/logs/$t.log
  mkdir -p "$work" "$crashes" "$(dirname "$log")"
  before=$(ls "$crashes" | wc -l)
  rc=0
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$crashes/" "$work" "fuzz/corpus/$t" >"$log" 2>&1 || rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  new=$(ls -t "$crashes" | head -n $(( $(ls "$crashes" | wc -l) - before )))
  if [ "$rc" -eq 0 ] && [ -z "$new" ]; then
    outcome="nothing found"
  else
    found=1
    outcome="FOUND (exit $rc): ${new:+$crashes/$new }see $log"
  fi
  printf '%-10s %8s exec/s  %10s runs  %s\n' "$t" "${rate:-?}" "${runs:-?}" "$outcome"
  rmdir "$crashes" 2>/dev/null || true
done
rmdir fuzz/crashes 2>/dev/null || true
exit $found
