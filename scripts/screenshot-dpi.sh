#!/usr/bin/env bash
# Takes a screenshot of Kordane's main window at a display scale: the real build under Wine, in a
# prefix of its own whose LogPixels is the DPI, on a private Xvfb display with a virtual Windows
# desktop (so that the frame is drawn), after Go on the demo board.
#   bash scripts/screenshot-dpi.sh [DPI] [OUTPUT.png]    (default: 144, build/win32/kordane-144.png)
set -euo pipefail
cd "$(dirname "$0")/.."
dpi="${1:-144}"
preset=win32
build="$PWD/build/$preset"
out="$(realpath -m "${2:-$build/kordane-$dpi.png}")"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Kordane Dbx32 KordaneDriver

run="$build/screenshot-$dpi"
rm -rf "$run"
mkdir -p "$run"
cp "$build/bin/Kordane.exe" "$build/bin/Dbx32.dll" "$build/bin/board.txt" "$run/"
cd "$run"

ready="$(mktemp)"
Xvfb -screen 0 1100x700x24 -nolisten tcp -displayfd 3 3>"$ready" >/dev/null 2>&1 &
xvfb=$!
export KORDANE_WINEPREFIX="$build/wineprefix-screenshot-$dpi" KORDANE_LOGPIXELS="$dpi"
trap 'WINEPREFIX="$KORDANE_WINEPREFIX" wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null || true
      rm -f "$ready"' EXIT
for _ in $(seq 1 200); do [ -s "$ready" ] && break; sleep 0.05; done
[ -s "$ready" ] || { echo "Xvfb could not start" >&2; exit 1; }
export DISPLAY=":$(tr -dc 0-9 <"$ready")"

wine=("$build/wine-run")
"${wine[@]}" reg.exe add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"${wine[@]}" reg.exe add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1040x640 /f \
  >/dev/null 2>&1
"${wine[@]}" Kordane.exe &
kordane=$!
"${wine[@]}" "$build/bin/KordaneDriver.exe" go >/dev/null
read -r left top width height < <("${wine[@]}" "$build/bin/KordaneDriver.exe" rect | tr -d '\r')
sleep 1
import -window root "$run/screen.png"
convert "$run/screen.png" -crop "${width}x${height}+${left}+${top}" +repage "$out"
"${wine[@]}" "$build/bin/KordaneDriver.exe" close
wait "$kordane" || true
echo "Kordane's window at $dpi DPI: $out"
