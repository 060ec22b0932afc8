#!/usr/bin/env bash
# The bench's rooms and their order, lowest first; rooms on one line stand side by side and may
# not include each other. A file may include its own room and the rooms below it, never one above:
# the scenario file format does not know the frame loop, a report does not know the commands.
# Only the bench's own headers count: the plug-in's (found through src/) have rooms of their own.
# The tests sit in the room of what they test and may drive it through any room. Prints each
# include that breaks the order; exit 1 if any does.
set -u
bench="$(cd "$(dirname "$0")/../tools/vantor-sim" && pwd)"
floors=(
  "support"
  "settings"
  "scenario"
  "host"
  "drive"
  "report warnings"
  "protect"
  "check layout"
)
declare -A floor
for i in "${!floors[@]}"; do
  for room in ${floors[$i]}; do floor[$room]=$i; done
done

status=0
check_tree() { # folder whose first path part names the room
  local top=$1 file room included target
  while IFS= read -r file; do
    room=${file#"$top"/}; room=${room%%/*}
    [ -n "${floor[$room]+x}" ] || { echo "$file: in no room"; status=1; continue; }
    while IFS= read -r included; do
      target=${included%%/*}
      [ -n "${floor[$target]+x}" ] && [ -f "$bench/$included" ] || continue
      if [ "$target" != "$room" ] && [ "${floor[$target]}" -ge "${floor[$room]}" ]; then
        echo "${file#"$bench"/}: the $room room includes $included, of the $target room"
        status=1
      fi
    done < <(sed -n 's/^#include "\([^"]*\/[^"]*\)".*/\1/p' "$file")
  done < <(find "$top" -mindepth 2 -type f -not -path "$top/tests/*" \
             \( -name '*.h' -o -name '*.cpp' -o -name '*.in' \))
}
check_tree "$bench"
[ $status -eq 0 ] && echo "the bench's rooms include only their own and those below"
exit $status
