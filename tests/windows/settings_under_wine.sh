#!/usr/bin/env bash
# The settings file under wine, in two checks:
# - Every case in tests/windows/settings/ gives the same five settings through the system's
#   profile functions as through the plug-in's own reader, which the DLL uses.
# - The DLL in a folder named in Japanese, which the ANSI code page of a Western system cannot
#   spell, reads the VantorConfig.ini beside it: its trace of the settings session with
#   Speed=40 equals the Linux library's, and differs from the trace without the file. The
#   session host loads .\vantor.dll from the folder it runs in, as a host loads a train's
#   plug-in from the train's folder, so the host's own path handling plays no part.
#
#   settings_under_wine.sh LINUX_BUILD WINDOWS_BUILD WORK_DIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
linux_build=$(realpath "$1")
windows_build=$(realpath "$2")
source "$here/wine_prefix.sh" "$3"
work=$(realpath "$3")

linux_host=$linux_build/tools/win-host/vantor-session-host
windows_host=$windows_build/tools/win-host/vantor-session-host.exe
oracle=$windows_build/tests/windows/vantor-profile-oracle.exe
for file in "$linux_host" "$linux_build/libvantor.so" "$windows_host" "$windows_build/vantor.dll" \
  "$oracle"; do
  [[ -f $file ]] || { echo "missing $file" >&2; exit 1; }
done

cases=()
for settings in "$here"/settings/*.ini; do
  cases+=("$(windows_path "$settings")")
done
timeout "$wine_timeout" wine "$oracle" "${cases[@]}" </dev/null

session=$here/settings_session.txt
folder="$work/列車の設定/東京行き"
rm -rf "$folder"
mkdir -p "$folder"
cp "$windows_build/vantor.dll" "$linux_build/libvantor.so" "$folder/"

"$linux_host" --mask-random "$folder/libvantor.so" "$session" "$work/japanese-no-file.trace"
printf '[SetSpec]\r\nSpeed=40\r\n' >"$folder/VantorConfig.ini"
"$linux_host" --mask-random "$folder/libvantor.so" "$session" "$work/japanese-linux.trace"
(cd "$folder" && timeout "$wine_timeout" wine "$windows_host" --mask-random '.\vantor.dll' \
  "$(windows_path "$session")" "$(windows_path "$work/japanese-windows.trace")" </dev/null)

if cmp -s "$work/japanese-linux.trace" "$work/japanese-no-file.trace"; then
  echo "Speed=40 changes nothing in the settings session: the check would prove nothing" >&2
  exit 1
fi
if ! cmp -s "$work/japanese-linux.trace" "$work/japanese-windows.trace"; then
  echo "the DLL in a folder named in Japanese does not read its settings file as Linux does:" >&2
  diff -u "$work/japanese-linux.trace" "$work/japanese-windows.trace" | head -n 20 >&2 || true
  exit 1
fi
echo "same    settings in a folder named in Japanese"
