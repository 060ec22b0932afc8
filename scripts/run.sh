#!/usr/bin/env bash
# Builds the plug-in and the test bench, then drives the plug-in along the built-in route; the
# bench runs the library of its own build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh >&2
cmake --preset default >/dev/null
cmake --build --preset default >/dev/null
exec build/default/tools/vantor-sim/vantor-sim "$@"
