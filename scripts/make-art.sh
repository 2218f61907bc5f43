#!/usr/bin/env bash
# Draws the program's pictures into src/ui/res: the icon (16 to 256 pixels), the About box's
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

# One icon image of $1 x $1 pixels, drawn on a 16 x 16 grid scaled to it: a green board with three
# parts lined up in a row above their guide line, pads in gold. Each size is drawn for itself, so
# that none is a blurred scaling of another.
draw_icon() {
  local s=$1
  local edge_width=$(((s + 47) / 48))
  local inset=$((edge_width / 2))
  at() { echo $(($1 * s / 16)); }
  local -a draw=(-fill "${board}" -stroke "${edge}" -strokewidth "${edge_width}"
    -draw "roundrectangle ${inset},${inset} $((s - 1 - inset)),$((s - 1 - inset)) $(at 3),$(at 3)"
    -stroke none)
  local x
  for x in 3 7 11; do
    draw+=(-fill "${pad}" -draw "rectangle $(at "${x}"),$(at 3) $(($(at $((x + 2))) - 1)),$(($(at 11) - 1))"
      -fill "${body}" -draw "rectangle $(at "${x}"),$(at 4) $(($(at $((x + 2))) - 1)),$(($(at 10) - 1))")
  done
  draw+=(-fill "${pad}" -draw "rectangle $(at 2),$(at 12) $(($(at 14) - 1)),$(($(at 13) - 1))")
  convert -size "${s}x${s}" xc:none "${draw[@]}" "PNG32:${work}/icon${s}.png"
}

# The sizes Windows asks for: small and large icons at 100 % to 200 % display scale, and the
# larger views of the file browser. Up to 48 pixels as bitmaps, from 64 on as PNG (Windows Vista
# and later), which keeps the 256-pixel image small.
small=(16 20 24 32 40 48)
large=(64 96 128 256)
for size in "${small[@]}" "${large[@]}"; do draw_icon "${size}"; done
bitmaps=() pngs=()
for size in "${small[@]}"; do bitmaps+=("${work}/icon${size}.png"); done
for size in "${large[@]}"; do pngs+=("${work}/icon${size}.png"); done
convert "${bitmaps[@]}" "${work}/small.ico"
python3 "${root}/scripts/make-icon.py" "${out}/Kordane.ico" "${work}/small.ico" "${pngs[@]}"

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
