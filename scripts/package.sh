#!/usr/bin/env bash
# Builds the release package for vehicle and route authors: the Windows DLL, the sample
# settings file, the test bench with its example lines and the guides, in
# build/windows/vantor-<version>-win64.zip.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh >&2
cmake --preset windows >/dev/null
cmake --build --preset windows
tests/windows/check_binaries.sh build/windows
cd build/windows
cpack -G ZIP
