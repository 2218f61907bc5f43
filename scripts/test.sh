#!/usr/bin/env bash
# Builds and runs every test: native (with benchmarks built), native with sanitizers, the 32-bit
# Windows product with every Windows test under 32-bit Wine in Xvfb, and the fuzz targets: every
# committed corpus input replayed, then each target fuzzed briefly (20 s).
set -euo pipefail
cd "$(dirname "$0")/.."
# The Xvfb servers that wine-run started for the Windows tests are stopped by CTest's last test;
# when a run is interrupted, or ends early, this stops the ones still recorded in the build tree.
stop_displays() {
  local records=(build/win32/wineprefix*.xvfb)
  [ -e "${records[0]}" ] || return 0
  bash scripts/stop-displays.sh "${records[@]%.xvfb}"
}
trap stop_displays EXIT
trap 'exit 130' INT TERM
bash scripts/install-deps.sh

# Each step says how long it took (the README's table of CI times comes from these lines).
step_started=$SECONDS
took() { echo "=== $1: $((SECONDS - step_started)) s ==="; step_started=$SECONDS; }
took "installing what is needed"
for preset in native sanitize win32 fuzz; do
  echo "=== ${preset} ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
  took "$preset"
done
bash scripts/fuzz.sh 20
took "fuzzing"
