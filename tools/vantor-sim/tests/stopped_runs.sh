#!/usr/bin/env bash
# A run stopped by Ctrl-C, SIGTERM or SIGHUP leaves no temporary folder with its library copy
# behind, says that it stopped, and ends as the signal ends a program; so does a check, whose
# runs go on threads of their own.
#   stopped_runs.sh SIM LIBRARY ENDLESS_SCENARIO WORK_DIR
set -euo pipefail
sim=$1
library=$2
scenario=$3
work=$4
failures=0

# stop NAME SIGNAL STATUS BENCH_ARGUMENTS...
stop() {
  local name=$1 signal=$2 status=$3
  shift 3
  local tmp=$work/stopped-$name
  rm -rf "$tmp" "$tmp.out"
  mkdir -p "$tmp"
  # bash starts background commands with SIGINT ignored; a terminal's Ctrl-C finds it not so.
  TMPDIR=$tmp env --default-signal=INT "$sim" --library "$library" --max-frames 100000000000000 "$@" >"$tmp.out" 2>&1 &
  local pid=$!
  # The run is under way once its library copy is in place.
  for _ in $(seq 200); do
    if compgen -G "$tmp/vantor-sim-*/*" >/dev/null; then
      break
    fi
    sleep 0.05
  done
  sleep 0.2
  kill -s "$signal" "$pid"
  # A bench that does not stop within 30 s fails the test instead of hanging it.
  for _ in $(seq 300); do
    if ! kill -0 "$pid" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  kill -s KILL "$pid" 2>/dev/null || true
  local result=0
  # Without bash's own note of how the bench ended.
  { wait "$pid"; } 2>/dev/null || result=$?
  local left
  left=$(find "$tmp" -mindepth 1 | head -n 5)
  if [[ $result -eq $status && -z $left ]] && grep -q '^vantor-sim: stopped$' "$tmp.out"; then
    echo "stopped $name by SIG$signal: exit status $result, nothing left in the temporary folder"
  else
    echo "FAILED $name by SIG$signal: exit status $result (expected $status), left: ${left:-nothing}"
    sed 's/^/    /' "$tmp.out" | tail -n 5
    failures=$((failures + 1))
  fi
}

stop run INT 130 --quiet --scenario "$scenario"
stop run TERM 143 --quiet --scenario "$scenario"
stop run HUP 129 --quiet --scenario "$scenario"
stop check TERM 143 check --jobs 2 "$scenario" "$scenario" "$scenario"
((failures == 0))
