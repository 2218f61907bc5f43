#!/usr/bin/env bash
# Builds and runs every test: native (with benchmarks built), native with sanitizers, and the
# 32-bit Windows product with every Windows test under 32-bit Wine in Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

for preset in native sanitize win32; do
  echo "=== ${preset} ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
