#!/usr/bin/env bash
# The DLL's state saved and restored under wine (snapshot_check.cpp): a branch plays the same
# after the restore, and an image saved from the DLL's copy in another folder is refused.
#
#   snapshot_under_wine.sh WINDOWS_BUILD WORK_DIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
windows_build=$(realpath "$1")
source "$here/wine_prefix.sh" "$2"
work=$(realpath "$2")

check=$windows_build/tests/windows/vantor-snapshot-check.exe
for file in "$check" "$windows_build/vantor.dll"; do
  [[ -f $file ]] || { echo "missing $file" >&2; exit 1; }
done

rm -rf "$work/snapshot"
mkdir -p "$work/snapshot/first" "$work/snapshot/second"
cp "$windows_build/vantor.dll" "$work/snapshot/first/"
cp "$windows_build/vantor.dll" "$work/snapshot/second/"
timeout "$wine_timeout" wine "$check" "$(windows_path "$work/snapshot/first/vantor.dll")" \
  "$(windows_path "$work/snapshot/second/vantor.dll")" </dev/null
echo "same    branch after restoring the DLL's saved state"
