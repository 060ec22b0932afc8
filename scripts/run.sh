#!/usr/bin/env bash
# Builds the plug-in and the test bench, then drives the plug-in along the built-in route, or
# along the scenario given; the bench runs the library of its own build. Paths given to it are
# taken from the folder it is called from.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

(
  cd "$root"
  scripts/install-deps.sh >&2
  cmake --preset default >/dev/null
  cmake --build --preset default >/dev/null
)
exec "$root/build/default/tools/vantor-sim/vantor-sim" "$@"
