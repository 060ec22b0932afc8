#!/usr/bin/env bash
# The release package's vantor-sim.exe as an author on Windows meets it, under wine:
# - a scenario given as the only argument, as dropping the file on the exe gives it, runs;
# - alone in its console, as Explorer starts it (and as wine starts it in a terminal), the bench
#   waits for Enter before it ends, so that its window stays open for what it said; the
#   console, written in UTF-16, shows the timeline's "»" as such, not as the bytes of its UTF-8
#   taken one by one;
# - Ctrl-C in that console stops the run and removes its temporary folder, whose loaded copy of
#   the DLL nothing outside the bench could delete;
# - a 32-bit DLL is named as such, and a DLL cut short is told apart from it.
#
#   sim_console_under_wine.sh PACKAGE_ZIP WORK_DIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
package=$(realpath "$1")
source "$here/wine_prefix.sh" "$2"
work=$(realpath "$2")/console
command -v i686-w64-mingw32-gcc >/dev/null ||
  { echo "i686-w64-mingw32-gcc not found: scripts/install-deps.sh installs it" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
(cd "$work" && cmake -E tar xf "$package")
folder=$work/$(basename "$package" .zip)
sim=$folder/vantor-sim.exe
failures=0
pass() { echo "passed  $1"; }
fail() {
  echo "FAILED  $1"
  failures=$((failures + 1))
}

# Dropped on the exe: the path alone, from another working folder.
status=0
(cd "$work" && timeout "$wine_timeout" wine "$sim" "$(windows_path "$folder/examples/rollback.toml")") \
  </dev/null >"$work/dropped.txt" 2>&1 || status=$?
if [[ $status -eq 0 ]] && head -n 1 "$work/dropped.txt" | grep -q '^scenario: rollback on a rising gradient' &&
  grep -q '^run ends at ' "$work/dropped.txt"; then
  pass "a scenario given alone runs"
else
  fail "a scenario given alone: exit status $status"
  head -n 5 "$work/dropped.txt"
fi

# In a terminal of its own: script gives the bench a pseudo-terminal, which wine makes its
# console, and takes its keys from a pipe. console_start NAME BENCH_ARGUMENTS...
console_start() {
  local name=$1
  shift
  rm -f "$work/$name.keys"
  mkfifo "$work/$name.keys"
  local command="wine '$sim'"
  for argument in "$@"; do
    command+=" '$argument'"
  done
  (cd "$work" && timeout "$wine_timeout" script -qfec "$command" "$work/$name.txt" \
    <"$work/$name.keys" >/dev/null) &
  console_pid=$!
  exec 3>"$work/$name.keys"
}
# console_wait_for FILE PATTERN: up to a minute for the bench to show it.
console_wait_for() {
  for _ in $(seq 600); do
    if tr -d '\r' <"$1" | grep -q "$2"; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}
console_end() {
  exec 3>&-
  wait "$console_pid" || true
}

console_start hold "$(windows_path "$folder/examples/rollback.toml")"
if console_wait_for "$work/hold.txt" 'Press Enter to close this window' && sleep 1 &&
  kill -0 "$console_pid" 2>/dev/null; then
  printf '\r' >&3
  sleep 5
  if kill -0 "$console_pid" 2>/dev/null; then
    fail "alone in its console: Enter does not end the bench"
  else
    pass "alone in its console, the bench waits for Enter"
  fi
  marks=$(grep -o '»' "$work/dropped.txt" | wc -l)
  if [[ $(grep -o '»' "$work/hold.txt" | wc -l) -eq $marks ]] && ! grep -q 'Â' "$work/hold.txt"; then
    pass "in a console: $marks event marks as in a file"
  else
    fail "in a console: event marks garbled"
    grep -m 5 -a 'Â\|»' "$work/hold.txt" || true
  fi
else
  fail "alone in its console, the bench does not wait for Enter"
fi
console_end

printf '[run]\nduration = 1e12\n' >"$work/endless.toml"
# The prefix's temporary folder, where the bench makes its own.
temp=$(winepath -u "$(timeout "$wine_timeout" wine cmd /c 'echo %TEMP%' </dev/null | tr -d '\r')")
rm -rf "$temp"/vantor-sim-*
console_start stopped --quiet --max-frames 100000000000000 --scenario "$(windows_path "$work/endless.toml")"
for _ in $(seq 600); do
  if compgen -G "$temp/vantor-sim-*/vantor.dll" >/dev/null; then
    break
  fi
  sleep 0.1
done
sleep 1
printf '\003' >&3
if console_wait_for "$work/stopped.txt" 'vantor-sim: stopped' && sleep 2 &&
  ! compgen -G "$temp/vantor-sim-*" >/dev/null; then
  pass "Ctrl-C stops the run and removes its temporary folder"
else
  fail "Ctrl-C: $(ls "$temp" | grep -c vantor-sim-) temporary folder(s) left"
fi
console_end

# load_error NAME DLL PATTERN: the bench refuses the DLL with exit status 2 and that reason.
load_error() {
  local status=0
  timeout "$wine_timeout" wine "$sim" --library "$(windows_path "$2")" </dev/null \
    >"$work/$1.txt" 2>&1 || status=$?
  if [[ $status -eq 2 ]] && grep -q "$3" "$work/$1.txt"; then
    pass "$1: $3"
  else
    fail "$1: exit status $status"
    cat "$work/$1.txt"
  fi
}
printf '__declspec(dllexport) int Load(void) { return 0; }\n' >"$work/x86.c"
i686-w64-mingw32-gcc -shared -o "$work/x86.dll" "$work/x86.c"
load_error "32-bit DLL" "$work/x86.dll" 'a 32-bit Windows DLL (machine i386)'
head -c 4096 "$folder/vantor.dll" >"$work/cut.dll"
load_error "DLL cut short" "$work/cut.dll" 'cannot load the library: not a Windows DLL, or one cut short'

if ((failures)); then
  echo "$failures check(s) of the bench in its console failed" >&2
  exit 1
fi
