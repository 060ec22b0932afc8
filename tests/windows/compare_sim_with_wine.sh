#!/usr/bin/env bash
# Runs the release package's vantor-sim.exe under wine, unzipped into a folder named in
# Japanese, on the built-in line and on every example with pinned random periods, and requires
# the same timelines (line ends aside), the same warnings and the same CSV traces, byte for
# byte, as the Linux vantor-sim of LINUX_BUILD running the Linux library; then the same of the
# check, the protection reports and a layout with the scenario and table it writes.
#
#   compare_sim_with_wine.sh LINUX_BUILD PACKAGE_ZIP WORK_DIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
linux_sim=$(realpath "$1")/tools/vantor-sim/vantor-sim
package=$(realpath "$2")
source "$here/wine_prefix.sh" "$3"
work=$(realpath "$3")/bench
for file in "$linux_sim" "$package"; do
  [[ -f $file ]] || { echo "missing $file" >&2; exit 1; }
done

# The package as an author unzips it, in a folder whose name the system's code page cannot
# spell, so that every path the bench takes or opens needs the wide-character calls.
rm -rf "$work"
mkdir -p "$work/linux"
(cd "$work" && cmake -E tar xf "$package")
folder="$work/列車の確認 $(basename "$package" .zip)"
mv "$work/$(basename "$package" .zip)" "$folder"

failures=0
# same NAME LINUX_FILE WINDOWS_FILE: the Windows file may have CR LF line ends.
same() {
  if cmp -s "$2" <(tr -d '\r' <"$3"); then
    echo "same    $1"
  else
    echo "DIFFERS $1"
    diff -u "$2" <(tr -d '\r' <"$3") | head -n 30 || true
    failures=$((failures + 1))
  fi
}

# As the guide tells it: in the unzipped folder, the bench alone finds the DLL beside it.
"$linux_sim" --pin-random >"$work/linux/built-in.txt"
(cd "$folder" && timeout "$wine_timeout" wine vantor-sim.exe --pin-random) </dev/null \
  >"$work/built-in.txt"
same "built-in line, no other option" "$work/linux/built-in.txt" "$work/built-in.txt"

for scenario in "" "$folder"/examples/*.toml; do
  name=$(basename "${scenario:-built-in}" .toml)
  linux_args=(--pin-random --csv "$work/linux/$name.csv")
  windows_args=(--pin-random --csv "$(windows_path "$folder/$name.csv")")
  if [[ -n $scenario ]]; then
    linux_args+=(--scenario "$scenario")
    windows_args+=(--scenario "$(windows_path "$scenario")")
  fi
  "$linux_sim" "${linux_args[@]}" >"$work/linux/$name.txt" 2>"$work/linux/$name.err"
  timeout "$wine_timeout" wine "$folder/vantor-sim.exe" "${windows_args[@]}" </dev/null \
    >"$work/$name.txt" 2>"$work/$name.err"
  same "$name: timeline" "$work/linux/$name.txt" "$work/$name.txt"
  # The warnings, with the scenario named by its file alone, and the bench's own unit, which
  # must agree with the DLL as it does with the Linux library: it draws the DLL's random
  # numbers through the same redirection.
  for err in "$work/linux/$name.err" "$work/$name.err"; do
    tr -d '\r' <"$err" | grep -v '% of the run done$' | sed 's#^.*[/\\]\([^/\\]*\.toml:\)#\1#' \
      >"$err.shown" || true
  done
  same "$name: warnings" "$work/linux/$name.err.shown" "$work/$name.err.shown"
  if cmp -s "$work/linux/$name.csv" "$folder/$name.csv"; then
    echo "same    $name: CSV trace ($(($(wc -l <"$folder/$name.csv") - 1)) frames)"
  else
    echo "DIFFERS $name: CSV trace"
    diff -u "$work/linux/$name.csv" "$folder/$name.csv" | head -n 30 || true
    failures=$((failures + 1))
  fi
done

# The check of every example and the protection reports, whose runs go side by side on threads
# of their own: the same results and exit statuses, the scenario files named by their names.
shown() { tr -d '\r' <"$1" | sed 's#^.*[/\\]\([^/\\]*\.toml\)#\1#'; }
commands=("check examples/*.toml" "protect" "protect examples/deceleration_above_the_train.toml")
for i in "${!commands[@]}"; do
  read -r -a args <<<"${commands[$i]}"
  for side in linux windows; do
    out=$work/$side-command-$i
    status=0
    if [[ $side == linux ]]; then
      (cd "$folder" && "$linux_sim" "${args[@]}") >"$out.out" 2>"$out.err" || status=$?
    else
      (cd "$folder" && timeout "$wine_timeout" wine vantor-sim.exe "${args[@]//\//\\}") \
        </dev/null >"$out.out" 2>"$out.err" || status=$?
    fi
    echo "exit status $status" >>"$out.out"
    shown "$out.out" >"$out.out.shown"
    shown "$out.err" >"$out.err.shown"
  done
  same "${commands[$i]}" "$work/linux-command-$i.out.shown" "$work/windows-command-$i.out.shown"
  same "${commands[$i]}: warnings" "$work/linux-command-$i.err.shown" \
    "$work/windows-command-$i.err.shown"
done

# The layout of the declared example: the same choices, table and report, the same scenario
# written and the same CSV table. Each side writes into the package's folder, one after the
# other, and its files are kept aside.
layout_args=(layout examples/declared/home_and_exit.toml --write laid_out.toml --csv layout.csv)
for side in linux windows; do
  out=$work/$side-layout
  status=0
  if [[ $side == linux ]]; then
    (cd "$folder" && "$linux_sim" "${layout_args[@]}") >"$out.out" 2>"$out.err" || status=$?
  else
    (cd "$folder" && timeout "$wine_timeout" wine vantor-sim.exe "${layout_args[@]//\//\\}") \
      </dev/null >"$out.out" 2>"$out.err" || status=$?
  fi
  echo "exit status $status" >>"$out.out"
  shown "$out.out" >"$out.out.shown"
  shown "$out.err" >"$out.err.shown"
  mv "$folder/laid_out.toml" "$out.toml"
  mv "$folder/layout.csv" "$out.csv"
done
same "${layout_args[*]}" "$work/linux-layout.out.shown" "$work/windows-layout.out.shown"
same "${layout_args[*]}: warnings" "$work/linux-layout.err.shown" "$work/windows-layout.err.shown"
same "layout: the scenario written" "$work/linux-layout.toml" "$work/windows-layout.toml"
same "layout: the CSV table" "$work/linux-layout.csv" "$work/windows-layout.csv"

if ((failures)); then
  echo "$failures run(s) of the bench differ between Windows and Linux" >&2
  exit 1
fi
