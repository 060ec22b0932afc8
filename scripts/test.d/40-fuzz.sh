# The libFuzzer harnesses, each run for a bounded time from the seed corpus in the repository.
# The corpus is copied first so that a run never adds to the repository's. Given a core each,
# the harnesses run side by side, each still for its full time.
set -euo pipefail
seconds=${VANTOR_FUZZ_SECONDS:-60}
harnesses=(host_calls settings)
cmake --preset fuzz
cmake --build --preset fuzz --target "${harnesses[@]/%/_fuzzer}"
work=$(mktemp -d)
# The settings harness rewrites its file for every input: in memory that is several times faster.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work" "$scratch"' EXIT

fuzz() {
  cp -r "fuzz/corpus/$1" "$work/$1"
  TMPDIR="$scratch" "build/fuzz/fuzz/$1_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$work/$1-" "$work/$1" >"$work/$1.log" 2>&1
}

pids=()
for harness in "${harnesses[@]}"; do
  fuzz "$harness" &
  pids+=($!)
  if (($(nproc) < ${#harnesses[@]})); then
    wait "${pids[-1]}" && pids[-1]=ok || pids[-1]=failed
  fi
done
failed=0
for i in "${!harnesses[@]}"; do
  harness=${harnesses[$i]}
  status=0
  case ${pids[$i]} in
    ok) ;;
    failed) status=1 ;;
    *) wait "${pids[$i]}" || status=$? ;;
  esac
  echo "-- $harness: ${seconds} s"
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::' "$work/$harness.log" || true
  if ((status != 0)); then
    tail -n 60 "$work/$harness.log" >&2
    echo "$harness failed (exit $status)" >&2
    failed=1
  fi
done
exit $failed
