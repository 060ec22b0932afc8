#!/usr/bin/env bash
# Builds everything and runs every test. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

echo "== build and test (gcc, release with debug info)"
cmake --preset default
cmake --build --preset default
ctest --preset default
