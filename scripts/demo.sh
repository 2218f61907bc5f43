#!/usr/bin/env bash
# Builds Kordane.exe with the stand-in host and starts it under Wine on the demo board, beside the
# board view (BoardView.exe), which shows the board and lets you select on it.
# With a display: both windows open side by side. Without one: the demo runs headless under Xvfb,
# presses Go, prints which components moved from where to where, and saves pictures of the board
# view before and after Go and screenshots of Kordane's window and About box.
set -euo pipefail
trap 'echo "demo.sh: the step at line $LINENO failed" >&2' ERR
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

# The product: the 32-bit build (install-deps.sh has made sure that 32-bit programs start here).
preset=win32
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Kordane Dbx32 BoardView KordaneDriver

build="$PWD/build/$preset"
run="$build/demo"
rm -rf "$run"
mkdir -p "$run"
cp "$build/bin/Kordane.exe" "$build/bin/BoardView.exe" "$build/bin/Dbx32.dll" \
  "$build/bin/board.txt" "$run/"
cp demo/led-bar.csv "$run/"
cp "$build/bin/KordaneDriver.exe" "$build/"
cd "$run"
# The board view opens right of Kordane's window (which opens at 50, 50 without settings).
view_frame=--window=290,20,720,540

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting the board view and Kordane.exe on the demo board ($run/board.txt):"
  echo "select components in the board view, press Go! in Kordane and watch them move."
  # A prefix of its own, whose windows the desktop's window manager manages.
  export KORDANE_WINEPREFIX="$build/wineprefix-desktop"
  "$build/wine-run" BoardView.exe "$view_frame" &
  "$build/wine-run" Kordane.exe &
  wait
  exit 0
fi

# Headless: a private X display with a virtual Windows desktop, so that the frame is drawn.
# Xvfb picks a free display and writes its number once it accepts connections.
ready="$(mktemp)"
Xvfb -screen 0 1100x640x24 -nolisten tcp -displayfd 3 3>"$ready" >/dev/null 2>&1 &
xvfb=$!
# Wine's own processes end before the display goes, so that none of them reports a lost display.
trap '[ -z "${KORDANE_WINEPREFIX:-}" ] || WINEPREFIX="$KORDANE_WINEPREFIX" wineserver -k 2>/dev/null
      kill $xvfb 2>/dev/null || true; rm -f "$ready"' EXIT
# Waits up to a deadline for a condition; says what is missing and fails when it does not come.
wait_until() {
  local what="$1" seconds="$2"
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    if ((SECONDS >= deadline)); then
      echo "demo.sh: $what" >&2
      return 1
    fi
    sleep 0.1
  done
}
not_running() { ! kill -0 "$1" 2>/dev/null; }
wait_until "Xvfb did not start" 20 test -s "$ready"
export DISPLAY=":$(tr -dc 0-9 <"$ready")"
wait_until "the display $DISPLAY does not answer" 20 xdpyinfo -display "$DISPLAY" >/dev/null 2>&1

# A prefix of the demo's own whose default desktop is a virtual one, shared by Kordane.exe, the
# board view and the driver that presses Kordane's buttons.
export KORDANE_WINEPREFIX="$build/wineprefix-demo"
wine=("$build/wine-run")
# A server left from an earlier demo knows another display: it goes first.
WINEPREFIX="$KORDANE_WINEPREFIX" wineserver -k 2>/dev/null || true
"${wine[@]}" reg.exe add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"${wine[@]}" reg.exe add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1040x600 /f \
  >/dev/null 2>&1
# The prefix's processes (a first start's desktop among them) end before the programs start, so
# that the virtual desktop is made once, with the settings above: a program that starts while
# the old desktop goes creates its window on a parent that is gone (X error BadWindow).
WINEPREFIX="$KORDANE_WINEPREFIX" timeout 60 wineserver -w ||
  { echo "demo.sh: the Wine server of the demo's prefix did not end" >&2; exit 1; }
cp board.txt board.before
# One program at a time, each once the one before has its window up.
"${wine[@]}" BoardView.exe "$view_frame" &
boardview=$!
read -r vleft vtop vwidth vheight < <("${wine[@]}" "$build/KordaneDriver.exe" view-rect | tr -d '\r')
[ -n "${vheight:-}" ] || { echo "demo.sh: the board view did not start" >&2; exit 1; }
"${wine[@]}" Kordane.exe &
kordane=$!
"${wine[@]}" "$build/KordaneDriver.exe" rect >/dev/null
# The pointer rests on the desktop below Kordane, so that the view shows nothing under it.
xdotool mousemove 150 520
loads="$("${wine[@]}" "$build/KordaneDriver.exe" view-loads | tr -d '\r')"
"${wine[@]}" "$build/KordaneDriver.exe" view-rect >/dev/null
import -window root "$run/screen.png"
convert "$run/screen.png" -crop "${vwidth}x${vheight}+${vleft}+${vtop}" +repage "$run/board-before.png"
# The preview of the run, before anything moves.
read -r left top width height < <("${wine[@]}" "$build/KordaneDriver.exe" preview | tr -d '\r')
import -window root "$run/screen.png"
convert "$run/screen.png" -crop "${width}x${height}+${left}+${top}" +repage "$run/preview.png"
"${wine[@]}" "$build/KordaneDriver.exe" shut
"${wine[@]}" "$build/KordaneDriver.exe" go
# The stand-in wrote the board back at the end of the run; the view reloads it by itself.
"${wine[@]}" "$build/KordaneDriver.exe" view-reloaded "$loads"
import -window root "$run/screen.png"
convert "$run/screen.png" -crop "${vwidth}x${vheight}+${vleft}+${vtop}" +repage "$run/board-after.png"
read -r left top width height < <("${wine[@]}" "$build/KordaneDriver.exe" rect | tr -d '\r')
convert "$run/screen.png" -crop "${width}x${height}+${left}+${top}" +repage "$run/kordane.png"
# The About box, opened from the popup menu.
read -r left top width height < <("${wine[@]}" "$build/KordaneDriver.exe" about | tr -d '\r')
import -window root "$run/screen.png"
convert "$run/screen.png" -crop "${width}x${height}+${left}+${top}" +repage "$run/about.png"
"${wine[@]}" "$build/KordaneDriver.exe" ok
# Ctrl+Z takes the whole run back.
cp board.txt board.after
"${wine[@]}" "$build/KordaneDriver.exe" undo
"${wine[@]}" "$build/KordaneDriver.exe" close
wait_until "Kordane.exe did not end" 60 not_running "$kordane"
if cmp -s board.before board.txt; then
  undone=yes
else
  undone=no
  diff board.before board.txt >board.undo.diff || true
fi

# The Arrange window: the board's selection made by hand (as a user would in the board view),
# the window's choices stored in Kordane.INI, a picture of the window, Apply, and a picture of
# the board view after it.
select_only() {
  awk -v pattern="$1" '
    $1 == "component" || $1 == "item" {
      code = $0; comment = ""
      hash = index($0, "#")
      if (hash > 0) { code = substr($0, 1, hash - 1); comment = "   " substr($0, hash) }
      n = split(code, words, " "); line = ""
      for (i = 1; i <= n; ++i) if (words[i] != "selected") line = line (line == "" ? "" : " ") words[i]
      if ($1 == "component" && words[2] ~ pattern) line = line " selected"
      print line comment; next
    }
    { print }' board.txt >board.next
  mv board.next board.txt
}
arrange_choices() {
  awk '/^\[/ { skip = ($0 ~ /^\[Arrange\]/) } !skip' Kordane.INI >Kordane.next 2>/dev/null || true
  { cat Kordane.next; printf '[Arrange]\r\n'; for pair in "$@"; do printf '%s\r\n' "$pair"; done; } \
    >Kordane.INI
  rm -f Kordane.next
}
arrange_demo() {
  local name="$1"
  local loads
  loads="$("${wine[@]}" "$build/KordaneDriver.exe" view-loads | tr -d '\r')"
  "${wine[@]}" Kordane.exe &
  kordane=$!
  read -r left top width height < <("${wine[@]}" "$build/KordaneDriver.exe" arrange | tr -d '\r')
  import -window root "$run/screen.png"
  convert "$run/screen.png" -crop "${width}x${height}+${left}+${top}" +repage "$run/$name.png"
  "${wine[@]}" "$build/KordaneDriver.exe" apply
  "${wine[@]}" "$build/KordaneDriver.exe" view-reloaded "$loads"
  "${wine[@]}" "$build/KordaneDriver.exe" arrange-close
  "${wine[@]}" "$build/KordaneDriver.exe" close
  wait_until "Kordane.exe did not end" 60 not_running "$kordane"
  "${wine[@]}" "$build/KordaneDriver.exe" view-fit
  import -window root "$run/screen.png"
  convert "$run/screen.png" -crop "${vwidth}x${vheight}+${vleft}+${vtop}" +repage \
    "$run/board-$name.png"
}

# The sixteen LEDs in a 4 x 4 grid, 150 mils apart, wired as a zig-zag: every other row runs
# backwards and is turned 180 degrees.
cp board.before board.txt
select_only '^D([1-9]|1[0-6])$'
arrange_choices "Pattern=1" "Order=0" "Turn=1" "Turn To=0" "Columns=4" "Pitch X=150" \
  "Pitch Y=150" "Fill=0" "Start=0" "Snake=1" "Turn Odd Rows=1"
arrange_demo arrange
cp board.txt board.arranged

# LEDs 1 to 16 as a honeycomb: every other row half a pitch further along, D1 kept where it is.
cp board.before board.txt
select_only '^D([1-9]|1[0-6])$'
arrange_choices "Pattern=1" "Order=0" "Turn=1" "Turn To=0" "Columns=4" "Pitch X=200" \
  "Pitch Y=180" "Fill=0" "Start=0" "Snake=0" "Turn Odd Rows=0" "Stagger=1" "Keep First=1"
arrange_demo arrange-stagger

# The LEDs on a ring round the controller, 1000 mils out, from the top clockwise and turned with
# the ring; their resistors on a ring 400 mils further in.
cp board.before board.txt
select_only '^(D([1-9]|1[0-6])|R([1-9]|1[0-2]))$'
arrange_choices "Pattern=4" "Order=0" "Turn=0" "Centre At=1" "Centre X=1500" "Centre Y=900" \
  "Radius=1000" "Ring Step=-400" "Start Angle=90" "Span=360" "Clockwise=1" "Turn With Circle=1" \
  "Offset=0"
arrange_demo arrange-circle
cp board.txt board.circled

# The ring of LEDs and resistors turned by 15 degrees as one piece about the controller's origin
# (1500, 900) mils, the rings' centre.
select_only '^(D([1-9]|1[0-6])|R([1-9]|1[0-2]))$'
arrange_choices "Pattern=8" "Mirror=0" "Mirror Turns=1" "Turn By=15" "Pivot=2" "Pivot X=1500" \
  "Pivot Y=900" "Move X=0" "Move Y=0"
arrange_demo arrange-transform

# The driver's channel 2 copied from channel 1, at channel 2's anchor: U201 stays where it is,
# turned a quarter, and the rest of its channel turns with it.
cp board.before board.txt
select_only '^[A-Z]+[12][0-9][0-9]$'
arrange_choices "Pattern=5" "Block Size=100" "Anchor=U101" "Channels=0" "Step X=1000" \
  "Step Y=0"
arrange_demo arrange-replicate
cp board.txt board.replicated

# The sixteen LEDs placed from the placement table beside the demo board (demo/led-bar.csv, in
# mm from the bar's first LED), whose first LED goes to (600, 1290) mils.
cp board.before board.txt
select_only '^D([1-9]|1[0-6])$'
arrange_choices "Pattern=7" "Table File=led-bar.csv" "Table Units=0" "Table Origin X=600" \
  "Table Origin Y=1290"
arrange_demo arrange-table
cp board.txt board.tabled

"${wine[@]}" "$build/KordaneDriver.exe" view-close
wait_until "the board view did not end" 60 not_running "$boardview"

echo
echo "Components moved on the demo board (X, Y in database units, rotation in tenths of a degree):"
awk '$1 == "component" {
       key = $2
       if (FNR == NR) { before[key] = "(" $3 ", " $4 ") " $5; next }
       after = "(" $3 ", " $4 ") " $5
       if (before[key] != after) printf "  %-6s %-28s -> %s\n", key, before[key], after
     }' board.before board.after
echo
if [ "$undone" = yes ]; then
  echo "After Ctrl+Z every component is back where it was: the board file is as before the run."
else
  echo "After Ctrl+Z the board differs from before the run:" >&2
  cat board.undo.diff >&2
  exit 1
fi
echo
echo "Arrange, Grid: the sixteen LEDs in a 4 x 4 zig-zag grid:"
awk '$1 == "component" && $2 ~ /^D([1-9]|1[0-6])$/ { printf "  %-4s (%s, %s) %s\n", $2, $3, $4, $5 }' \
  board.arranged
echo
echo "Arrange, Replicate: channel 2 of the driver copied from channel 1 about U201:"
awk '$1 == "component" && $2 ~ /^[A-Z]+2[0-9][0-9]$/ { printf "  %-4s (%s, %s) %s\n", $2, $3, $4, $5 }' \
  board.replicated
echo
echo "Arrange, From a table: the sixteen LEDs placed from led-bar.csv:"
awk '$1 == "component" && $2 ~ /^D([1-9]|1[0-6])$/ { printf "  %-4s (%s, %s) %s\n", $2, $3, $4, $5 }' \
  board.tabled
echo
echo "Board view: $run/board-before.png (before Go), $run/board-after.png (after Go),"
echo "  $run/board-arrange.png (after the grid), $run/board-arrange-stagger.png (after the"
echo "  staggered grid), $run/board-arrange-circle.png (after the circle),"
echo "  $run/board-arrange-transform.png (after the ring's turn about the controller),"
echo "  $run/board-arrange-replicate.png (after the copy), $run/board-arrange-table.png (after"
echo "  the table)"
echo "Screenshots: $run/kordane.png (the window), $run/about.png (the About box),"
echo "  $run/preview.png (the preview of the run), $run/arrange.png, $run/arrange-stagger.png,"
echo "  $run/arrange-circle.png, $run/arrange-transform.png, $run/arrange-replicate.png and"
echo "  $run/arrange-table.png (the Arrange window)"
