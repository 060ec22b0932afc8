#!/usr/bin/env bash
# Builds everything and runs every test. Installs what is missing first.
# Each stage is a script in scripts/test.d, run in name order; any failure stops the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for stage in scripts/test.d/*.sh; do
  echo "== ${stage##*/}"
  bash "$stage"
done
