#!/usr/bin/env bash
# Plays every scripted session, and the settings session once per settings file, through the
# Windows DLL under wine and through the Linux library, and requires identical traces.
#
#   compare_with_wine.sh LINUX_BUILD WINDOWS_BUILD WORK_DIR
#
# Each library is copied into a folder of its own with the case's VantorConfig.ini beside
# it, as a vehicle author installs it. The alarm alternation of sounds 21 and 22 follows the
# C runtime's random generator, which differs between the runtimes, so those two sounds are
# masked; the sessions keep every other output independent of the random start-up delay.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
linux_build=$(realpath "$1")
windows_build=$(realpath "$2")
mkdir -p "$3"
work=$(realpath "$3")

linux_host=$linux_build/tools/win-host/vantor-session-host
windows_host=$windows_build/tools/win-host/vantor-session-host.exe
for file in "$linux_host" "$linux_build/libvantor.so" "$windows_host" "$windows_build/vantor.dll"; do
  [[ -f $file ]] || { echo "missing $file" >&2; exit 1; }
done

export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
# No mono or gecko installers, no window: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wine_timeout=120

windows_path() { local path; path=$(realpath -m "$1"); echo "Z:${path//\//\\}"; }

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "creating wine prefix $WINEPREFIX"
  timeout 300 wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || {
    echo "wineboot failed:" >&2; cat "$work/wineboot.log" >&2; exit 1; }
fi

failures=0

# play CASE_DIR SESSION NAME: runs one session through both libraries and compares.
play() {
  local case_dir=$1 session=$2 name=$3 settings=${4:-}
  local linux_dir=$case_dir/linux windows_dir=$case_dir/windows
  rm -rf "$case_dir"
  mkdir -p "$linux_dir" "$windows_dir"
  cp "$linux_build/libvantor.so" "$linux_dir/"
  cp "$windows_build/vantor.dll" "$windows_dir/"
  if [[ -n $settings ]]; then
    cp "$settings" "$linux_dir/VantorConfig.ini"
    cp "$settings" "$windows_dir/VantorConfig.ini"
  fi
  "$linux_host" --mask-random "$linux_dir/libvantor.so" "$session" "$case_dir/linux.trace"
  timeout "$wine_timeout" wine "$windows_host" --mask-random \
    "$(windows_path "$windows_dir/vantor.dll")" "$(windows_path "$session")" \
    "$(windows_path "$case_dir/windows.trace")" </dev/null
  if cmp -s "$case_dir/linux.trace" "$case_dir/windows.trace"; then
    echo "same    $name ($(grep -vc '^[#v]' "$case_dir/linux.trace") frames)"
  else
    echo "DIFFERS $name"
    diff -u "$case_dir/linux.trace" "$case_dir/windows.trace" | head -n 30 || true
    failures=$((failures + 1))
  fi
}

for session in "$repo"/tests/sessions/*.txt; do
  name=$(basename "$session" .txt)
  play "$work/sessions/$name" "$session" "session $name"
done

play "$work/settings/no_file" "$here/settings_session.txt" "settings without a file"
for settings in "$here"/settings/*.ini; do
  name=$(basename "$settings" .ini)
  play "$work/settings/$name" "$here/settings_session.txt" "settings $name" "$settings"
done

wineserver -k 2>/dev/null || true

if ((failures)); then
  echo "$failures case(s) differ between the Windows DLL and the Linux library" >&2
  exit 1
fi
