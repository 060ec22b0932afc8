# The libFuzzer harnesses, each run for a bounded time from the seed corpus in the repository.
# The corpus is copied first so that a run never adds to the repository's. Given a core each,
# the harnesses run side by side, each still for its full time; with fewer cores than
# harnesses, the next one starts as soon as one ends.
set -euo pipefail
seconds=${VANTOR_FUZZ_SECONDS:-60}
harnesses=(host_calls settings bench_readers)
cmake --preset fuzz
cmake --build --preset fuzz --target "${harnesses[@]/%/_fuzzer}"
work=$(mktemp -d)
# The settings harnesses rewrite their file for every input: in memory that is several times
# faster.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work" "$scratch"' EXIT

fuzz() {
  cp -r "fuzz/corpus/$1" "$work/$1"
  local status=0
  TMPDIR="$scratch" "build/fuzz/fuzz/$1_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$work/$1-" "$work/$1" >"$work/$1.log" 2>&1 || status=$?
  echo "$status" >"$work/$1.status"
}

for harness in "${harnesses[@]}"; do
  while (($(jobs -rp | wc -l) >= $(nproc))); do
    wait -n || true
  done
  fuzz "$harness" &
done
wait
failed=0
for harness in "${harnesses[@]}"; do
  status=$(cat "$work/$harness.status" 2>/dev/null || echo 1)
  echo "-- $harness: ${seconds} s"
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::' "$work/$harness.log" || true
  if ((status != 0)); then
    tail -n 60 "$work/$harness.log" >&2
    echo "$harness failed (exit $status)" >&2
    failed=1
  fi
done
exit $failed
