#!/usr/bin/env bash
# Builds and runs every test: native (with benchmarks built), native with sanitizers, the 32-bit
# Windows product with every Windows test under 32-bit Wine in Xvfb, and the fuzz targets: every
# committed corpus input replayed, then each target fuzzed briefly (20 s).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

for preset in native sanitize win32 fuzz; do
  echo "=== ${preset} ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
bash scripts/fuzz.sh 20
