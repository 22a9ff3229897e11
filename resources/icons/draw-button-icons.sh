#!/usr/bin/env bash
# Draws the two tool button pictures, Dropper.ico (an eye dropper) and
# Palette.ico (a painter's palette with a brush), each at 16, 20, 24, 32 and
# 48 px.
#
# Every size is drawn on its own pixel grid instead of being shrunk from a big
# picture, so edges stay sharp: a pixel belongs to a shape or not, and the
# shape gets a one-pixel outline. Only the 48 px pictures are drawn four times
# larger and reduced, which smooths their curves.
#
# Fills are mid-tones inside a near-black outline, so the pictures read on the
# light plain look (#F0F0F0) as well as on the dark theme (#202020).
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

outline='#1E1E1E'

# --- Rasterizer -------------------------------------------------------------
# Prints one layer as ImageMagick pixel text (txt:). The picture's awk file
# defines shape(x, y) -> "#RRGGBB" or "" for a point in pixel units. A pixel
# outside the shape but within `ss` sub-pixels of it becomes outline, so every
# layer is ringed by one pixel of outline over the layers below it.
cat >"$tmp/pixels.awk" <<'AWK'
function hex(h,    i, v) {
    v = 0
    for (i = 1; i <= 2; i++) v = v * 16 + index("0123456789ABCDEF", toupper(substr(h, i, 1))) - 1
    return v
}
function put(px, py, col) {
    printf "%d,%d: (%d,%d,%d,255)\n", px, py, hex(substr(col, 2, 2)), hex(substr(col, 4, 2)), hex(substr(col, 6, 2))
}
AWK
cat >"$tmp/raster.awk" <<'AWK'
BEGIN {
    n = s * ss
    printf "# ImageMagick pixel enumeration: %d,%d,255,srgba\n", n, n
    for (py = 0; py < n; py++) for (px = 0; px < n; px++) cell[px, py] = shape((px + 0.5) / ss, (py + 0.5) / ss)
    for (py = 0; py < n; py++) for (px = 0; px < n; px++) {
        col = cell[px, py]
        if (col == "") {
            near = 0
            for (dy = -ss; dy <= ss && !near; dy++) for (dx = -ss; dx <= ss && !near; dx++) {
                qx = px + dx; qy = py + dy
                if (dx * dx + dy * dy <= ss * ss && qx >= 0 && qy >= 0 && qx < n && qy < n && cell[qx, qy] != "")
                    near = 1
            }
            if (!near) continue
            col = outline
        }
        put(px, py, col)
    }
}
AWK

# draw PICTURE SIZE LAYER... -- AWK-ASSIGNMENTS: the layers painted in order.
draw() {
  local picture=$1 s=$2 ss=1 layers=() args=()
  shift 2
  while [ "$1" != -- ]; do layers+=("$1"); shift; done
  shift
  [ "$s" -ge 48 ] && ss=4
  for layer in "${layers[@]}"; do
    awk -v s="$s" -v ss="$ss" -v layer="$layer" -v outline="$outline" "$@" \
      -f "$tmp/pixels.awk" -f "$tmp/$picture.awk" -f "$tmp/raster.awk" >"$tmp/$picture$s-$layer.txt"
    args+=("txt:$tmp/$picture$s-$layer.txt" -composite)
  done
  convert -size $((s * ss))x$((s * ss)) xc:none -background none "${args[@]}" -filter box -resize "${s}x${s}" "$tmp/$picture$s.png"
}

# decimal ARITHMETIC: evaluates with awk, two decimals.
decimal() { awk "BEGIN { printf \"%.2f\", $* }"; }

# --- Eye dropper ------------------------------------------------------------
# It lies on the diagonal, glass tip at the bottom left, rubber bulb at the top
# right. u runs along it from the centre towards the bulb, v across it.
cat >"$tmp/dropper.awk" <<'AWK'
function abs(a) { return a < 0 ? -a : a }
function shape(x, y,    c, u, v, w) {
    c = s / 2
    u = ((x - c) - (y - c)) / 1.41421356
    v = ((x - c) + (y - c)) / 1.41421356
    if (layer == "tube") {
        # glass narrowing to the tip, the lower part filled with paint
        if (u < tip || u > collarStart) return ""
        w = u < taperEnd ? 0.35 + (tubeHalf - 0.35) * (u - tip) / (taperEnd - tip) : tubeHalf
        if (abs(v) > w) return ""
        return u < paintEnd ? "#2F7FD8" : "#CFE8F7"
    }
    if (layer == "collar")
        return u >= collarStart && u <= bulbStart && abs(v) <= collarHalf ? "#8C939E" : ""
    if (layer == "bulb") {
        # a capsule: straight from bulbStart, round about bulbEnd
        if (u < bulbStart || abs(v) > bulbHalf || (u > bulbEnd && (u - bulbEnd) ^ 2 + v ^ 2 > bulbHalf ^ 2)) return ""
        if (v < -bulbHalf * 0.2 && v > -bulbHalf * 0.75 && u > bulbStart + 0.8 && u < bulbEnd + bulbHalf * 0.3)
            return "#F08A7E" # the shine on the rubber
        return "#D9473B"
    }
    return ""
}
AWK

for s in 16 20 24 32 48; do
  # Lengths in px along the diagonal. Both ends reach as far into their
  # corners as the outline allows.
  bulbHalf=$(decimal "0.12 * $s + 0.7")
  bulbEnd=$(decimal "1.41421356 * ($s / 2 - 1.1 - $bulbHalf)")
  bulbStart=$(decimal "$bulbEnd - 0.2 * $s")
  collarStart=$(decimal "$bulbStart - 0.07 * $s - 1")
  tip=$(decimal "-1.41421356 * ($s / 2 - 1.2)")
  draw dropper "$s" tube collar bulb -- \
    -v tip="$tip" -v taperEnd="$(decimal "$tip + 0.25 * $s")" -v paintEnd="$(decimal "-0.1 * $s")" \
    -v tubeHalf="$(decimal "0.08 * $s + 0.55")" -v collarStart="$collarStart" -v bulbStart="$bulbStart" \
    -v collarHalf="$(decimal "0.16 * $s + 0.75")" -v bulbEnd="$bulbEnd" -v bulbHalf="$bulbHalf"
done
# 32-bit entries throughout: left to itself ImageMagick stores the few-colored
# small pictures with a 16-color palette.
convert "$tmp"/dropper{16,20,24,32,48}.png -type TrueColorAlpha Dropper.ico

# --- Palette ----------------------------------------------------------------
# Laid out on a unit square inside a one-pixel margin for the outline.
cat >"$tmp/palette.awk" <<'AWK'
function abs(a) { return a < 0 ? -a : a }
# A dab's centre sits on a pixel corner (snap 0) or a pixel centre (snap 0.5),
# whichever makes it come out round at the size.
function dab(x, y, cx, cy,    px, py) {
    px = int(1 + cx * k) + snap; py = int(1 + cy * k) + snap
    return (x - px) ^ 2 + (y - py) ^ 2 <= (dabRadius * k + 0.4) ^ 2
}
function shape(x, y,    fx, fy, px, py, u, v, w) {
    k = s - 2
    fx = (x - 1) / k; fy = (y - 1) / k
    if (layer == "board") {
        # a tilted oval with a thumb hole
        px = fx - 0.5; py = fy - 0.52
        u = px * cos(-0.45) - py * sin(-0.45); v = px * sin(-0.45) + py * cos(-0.45)
        if ((u / 0.52) ^ 2 + (v / 0.42) ^ 2 > 1) return ""
        if (((fx - 0.22) * k) ^ 2 + ((fy - 0.66) * k) ^ 2 <= (0.07 * k + 0.3) ^ 2) return ""
        return "#C8965A"
    }
    if (layer == "dabs") {
        if (dab(x, y, 0.21, 0.39)) return "#E0463A"
        if (dab(x, y, 0.47, 0.22)) return "#F2C230"
        if (dab(x, y, 0.76, 0.28)) return "#3FAE4A"
        return ""
    }
    if (layer == "brush") {
        # from the handle's end at the bottom right to the tip in the middle;
        # u and v in px along and across it
        u = ((1 - fx) + (1 - fy)) * 0.7071 * k
        v = ((fx - 1) - (fy - 1)) * 0.7071 * k
        if (u < 0.05 * k || u > 0.68 * k) return ""
        if (u < 0.33 * k) return abs(v) <= brushHalf ? "#9A4A24" : ""
        if (u < 0.44 * k) return abs(v) <= brushHalf + 0.35 ? "#A9B0BA" : ""
        w = (brushHalf + 0.6) * (1 - (u - 0.44 * k) / (0.24 * k)) ^ 1.3 + 0.25
        return abs(v) <= w ? "#2F7FD8" : ""
    }
    return ""
}
AWK

for s in 16 20 24 32 48; do
  # The dabs' centres go where their radius comes out round; at 16 px only
  # dabs of 2 x 2 pixels leave room for three of them and the outlines.
  case $s in
    16) snap=0 dab=0.03 brushHalf=0.8 ;;
    20 | 32) snap=0 dab=0.085 brushHalf=$(decimal "0.04 * $s + 0.5") ;;
    *) snap=0.5 dab=0.085 brushHalf=$(decimal "0.04 * $s + 0.5") ;;
  esac
  draw palette "$s" board dabs brush -- -v snap="$snap" -v dabRadius="$dab" -v brushHalf="$brushHalf"
done
convert "$tmp"/palette{16,20,24,32,48}.png -type TrueColorAlpha Palette.ico
