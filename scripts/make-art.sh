#!/usr/bin/env bash
# Draws the program's pictures into src/ui/res: the icon (16, 32 and 48 pixels), the About box's
# logo (114 x 41, 24-bit BMP) and the link label's hand cursor. Needs ImageMagick's `convert`
# and python3. The results are committed; run this again only to change the drawings.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${root}/src/ui/res"
work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT
mkdir -p "${out}"

board='#1d6b3c'
edge='#0f3d21'
pad='#e8b84a'
body='#202020'

# One icon image, drawn on a 16 x 16 grid scaled by $1 (1, 2 or 3): a green board with three
# parts lined up in a row above their guide line, pads in gold.
draw_icon() {
  local k=$1
  local s=$((16 * k))
  local -a draw=(-fill "${board}" -stroke "${edge}" -strokewidth 1
    -draw "roundrectangle 0,0 $((s - 1)),$((s - 1)) $((3 * k)),$((3 * k))" -stroke none)
  local x
  for x in 3 7 11; do
    draw+=(-fill "${pad}" -draw "rectangle $((x * k)),$((3 * k)) $(((x + 2) * k - 1)),$((11 * k - 1))"
      -fill "${body}" -draw "rectangle $((x * k)),$((4 * k)) $(((x + 2) * k - 1)),$((10 * k - 1))")
  done
  draw+=(-fill "${pad}" -draw "rectangle $((2 * k)),$((12 * k)) $((14 * k - 1)),$((13 * k - 1))")
  convert -size "${s}x${s}" xc:none "${draw[@]}" "PNG32:${work}/icon${s}.png"
}

for k in 1 2 3; do draw_icon "${k}"; done
convert "${work}/icon16.png" "${work}/icon32.png" "${work}/icon48.png" "${out}/Kordane.ico"

# The logo: the program's name over a row of parts on a board.
logo=(-fill "${board}" -stroke "${edge}" -draw "roundrectangle 0,0 113,40 6,6"
  -stroke none -fill white -font DejaVu-Sans-Bold -pointsize 17 -annotate +8+21 'Kordane')
for i in 0 1 2 3 4 5 6 7; do
  x=$((10 + i * 12))
  logo+=(-fill "${pad}" -draw "rectangle ${x},27 $((x + 7)),33"
    -fill "${body}" -draw "rectangle $((x + 2)),27 $((x + 5)),33")
done
logo+=(-fill "${pad}" -draw "rectangle 8,36 105,36"
  -fill "${pad}" -draw "circle 103,12 103,15" -fill "${body}" -draw "circle 103,12 103,13")
convert -size 114x41 xc:'#c0c0c0' "${logo[@]}" -alpha off -type TrueColor "BMP3:${out}/Logo.bmp"

python3 "${root}/scripts/make-cursor.py" "${out}/URLHAND.cur"
