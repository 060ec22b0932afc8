#!/usr/bin/env bash
# Builds the library, the benchmarks and the test bench in build/bench (Release) and measures:
# the exports in nanoseconds per call (median of 10 repetitions, and for the frames and their
# floor also the fastest repetition, which a busy host moves least); the idle and heaviest
# frames against the floor of 30 independent square roots timed in the same run, as ratios that
# compare across machines; then the test bench's frames per second along a generated 520 km
# line, once with its output off (--quiet, which also leaves the bench's own unit out) and once
# writing a CSV trace to a file; and the protection report of that line against one run of it
# with its timeline. The load average is printed before and after: figures taken under load
# say so. Not part of scripts/test.sh: timings need a quiet machine, not a CI runner.
#   scripts/bench.sh [extra Google Benchmark options, e.g. --benchmark_filter=Elapse]
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/bench
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== exports, ns per call"
"$build/bench/vantor_bench" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/exports.csv" --benchmark_out_format=csv "$@" 2>&1 |
  grep -E '^Benchmark|^-+$|_median|_fastest'

echo "== frames against 30 independent square roots (CPU time, median and fastest of the repetitions)"
awk -F, '$1 ~ /_(median|fastest)"$/ {
    gsub(/"/, "", $1)
    ns[$1] = $5 == "us" ? $4 * 1000 : $4
  }
  END {
    floor = ns["ThirtySquareRoots_median"]
    if (floor == "") { print "(the floor was not measured in this run)"; exit }
    fastestFloor = ns["ThirtySquareRoots_fastest"]
    printf "%-28s %8.1f ns                      fastest %6.1f ns\n", "30 square roots", floor, fastestFloor
    n = split("ElapseIdle ElapseWorstCase", frames, " ")
    for (i = 1; i <= n; ++i) {
      median = ns[frames[i] "_median"]
      if (median == "")
        continue
      fastest = ns[frames[i] "_fastest"]
      printf "%-28s %8.1f ns  %5.2f times the floor  fastest %6.1f ns  %5.2f times\n", frames[i],
        median, median / floor, fastest, fastest / fastestFloor
    }
  }' "$work/exports.csv"

bench/long_route_scenario.sh 520 >"$work/line.toml"
sim=("$build/tools/vantor-sim/vantor-sim" --library "$build/libvantor.so"
  --scenario "$work/line.toml" --pin-random --quiet)

# One run: prints the frames per second by the clock on the wall and by the CPU time used.
measure() {
  local label=$1
  shift
  local times frames
  # The bench's own messages (route warnings) go apart from the times.
  times=$({ TIMEFORMAT='%R %U %S'; time "$@" >"$work/end.txt" 2>"$work/messages.txt"; } 2>&1)
  frames=$(grep -oE 'after [0-9]+ frames' "$work/end.txt" | grep -oE '[0-9]+')
  read -r wall user sys <<<"$times"
  awk -v label="$label" -v f="$frames" -v w="$wall" -v u="$user" -v s="$sys" 'BEGIN {
    printf "%-28s %9d frames  %6.2f s wall  %6.2f s CPU  %6.2f M frames/s wall  %6.2f M frames/s CPU\n",
      label, f, w, u + s, f / w / 1e6, f / (u + s) / 1e6 }'
}

echo "== test bench, 520 km at 62.5 frames per simulated second"
measure "output off" "${sim[@]}"
measure "CSV trace to a file" "${sim[@]}" --csv "$work/trace.csv"

# The protection report of the same line (103 signals, 103 limits and the clear run) against one
# run of it with the timeline and the bench's own unit, in the same minutes: at most 5 times.
seconds() {
  local times
  times=$({ TIMEFORMAT='%R'; time "$@" >/dev/null 2>&1; } 2>&1)
  echo "$times"
}
echo "== protection report, 520 km"
run=$(seconds "$build/tools/vantor-sim/vantor-sim" --library "$build/libvantor.so" \
  --scenario "$work/line.toml" --pin-random)
report=$(seconds "$build/tools/vantor-sim/vantor-sim" --library "$build/libvantor.so" \
  protect --jobs "$(nproc)" "$work/line.toml")
awk -v run="$run" -v report="$report" 'BEGIN {
  printf "%-28s %6.2f s wall\n%-28s %6.2f s wall  %5.2f times the run (at most 5)\n",
    "one run with its timeline", run, "protect --jobs '"$(nproc)"'", report, report / run }'
echo "== load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
