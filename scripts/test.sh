#!/usr/bin/env bash
# Builds and runs every test: native (with benchmarks built), native with sanitizers, the 32-bit
# Windows product (under 32-bit Wine where this machine can run 32-bit programs, otherwise the
# checks of its binaries only) and the same Windows code built for 64 bits under 64-bit Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

for preset in native sanitize win32 win64; do
  echo "=== ${preset} ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
