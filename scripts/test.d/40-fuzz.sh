# The libFuzzer harnesses, each run for a bounded time from the seed corpus in the repository.
# The corpus is copied first so that a run never adds to the repository's.
set -euo pipefail
seconds=${VANTOR_FUZZ_SECONDS:-60}
cmake --preset fuzz
cmake --build --preset fuzz --target host_calls_fuzzer settings_fuzzer
work=$(mktemp -d)
# The settings harness rewrites its file for every input: in memory that is several times faster.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work" "$scratch"' EXIT
for harness in host_calls settings; do
  cp -r "fuzz/corpus/$harness" "$work/$harness"
  echo "-- $harness: ${seconds} s"
  status=0
  TMPDIR="$scratch" "build/fuzz/fuzz/${harness}_fuzzer" -max_total_time="$seconds" \
    -print_final_stats=1 -artifact_prefix="$work/" "$work/$harness" >"$work/$harness.log" 2>&1 ||
    status=$?
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::' "$work/$harness.log" || true
  if ((status != 0)); then
    tail -n 60 "$work/$harness.log" >&2
    echo "$harness failed (exit $status)" >&2
    exit 1
  fi
done
