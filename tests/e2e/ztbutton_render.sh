# ztbutton-render: a bad command line gives the usage and status 2 and writes nothing; --print
# reports the result window's Ok button as the layout and colour rules make it; the PNG shows
# the container's colour wherever the window region leaves a pixel out, and each state paints
# its own rings.
# Run by CTest as: bash ztbutton_render.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
render="${1:?bin dir}/ztbutton-render"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$render" ] || fail "$render is not built"
command -v python3 >/dev/null || fail "python3 is needed to read the pictures"
export CORVANE_DRIVER=headless

# ---- bad command lines ----
bad() {
  local status=0
  "$render" "$@" >"$work/out" 2>"$work/err" || status=$?
  [ "$status" -eq 2 ] || fail "status $status, not 2, for: $*"
  grep -q "^usage: ztbutton-render" "$work/err" || fail "no usage for: $*"
}
bad
bad --bogus "$work/x.png"
bad --size 0x25 "$work/x.png"
bad --size 61 "$work/x.png"
bad --size 61x-3 "$work/x.png"
bad --size 61x25x3 "$work/x.png"
bad --size 9999x25 "$work/x.png"
bad --size "$work/x.png"
bad --set Nope=1 "$work/x.png"
bad --set ButtonStyle "$work/x.png"
bad --set ButtonStyle=abc "$work/x.png"
bad --set ButtonStyle=0x "$work/x.png"
bad --set ButtonStyle=99999999999 "$work/x.png"
bad --set BackColor=0x1FFFFFFFF "$work/x.png"
bad --set Enabled=maybe "$work/x.png"
bad --set Font=Arial "$work/x.png"
bad --set "Font=Arial,big" "$work/x.png"
bad --set "Font=Arial,10,heavy" "$work/x.png"
bad --set "Picture=$work/no-such-picture.bmp" "$work/x.png"
bad --set MousePointer=70000 "$work/x.png"
bad --state sideways "$work/x.png"
bad --state pressed-out,hover "$work/x.png"
bad --container-color red "$work/x.png"
bad --print
bad "$work/x.png" "$work/y.png"
[ ! -e "$work/x.png" ] || fail "a bad command line wrote a picture"
"$render" --help | grep -q "^usage:" || fail "--help shows no usage"

# ---- the pictures ----
# pixel FILE X Y -> RRGGBB; also checks every chunk's CRC and the picture's size.
cat >"$work/png.py" <<'PY'
import struct, sys, zlib
def load(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
    at, idat, w, h = 8, b'', 0, 0
    while at < len(data):
        n, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + n]
        crc, = struct.unpack('>I', data[at + 8 + n:at + 12 + n])
        assert zlib.crc32(kind + body) & 0xffffffff == crc, 'bad CRC in ' + kind.decode()
        if kind == b'IHDR':
            w, h, depth, ctype = struct.unpack('>IIBB', body[:10])
            assert (depth, ctype) == (8, 2), 'not 8-bit RGB'
        elif kind == b'IDAT':
            idat += body
        at += 12 + n
    raw = zlib.decompress(idat)
    stride = w * 3
    assert len(raw) == h * (stride + 1), 'wrong amount of image data'
    rows, prev = [], bytearray(stride)
    for y in range(h):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b = prev[i]
            c = prev[i - 3] if i >= 3 else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return w, h, rows
w, h, rows = load(sys.argv[1])
if sys.argv[2] == 'size':
    print('%dx%d' % (w, h))
elif sys.argv[2] == 'row':
    y = int(sys.argv[3])
    print(' '.join('%02X%02X%02X' % tuple(rows[y][x * 3:x * 3 + 3]) for x in range(w)))
else:
    x, y = int(sys.argv[2]), int(sys.argv[3])
    print('%02X%02X%02X' % tuple(rows[y][x * 3:x * 3 + 3]))
PY
pixel() { python3 "$work/png.py" "$@"; }
expect_pixel() {  # FILE X Y RRGGBB WHAT
  local got
  got=$(pixel "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: pixel ($2, $3) of $(basename "$1") is $got, expected $4"
}
value() { grep "^$1=" "$2" | cut -d= -f2; }

# The result window's Ok button: 915 x 375 twips, rounded style, caption "&Ok".
ok=(--set ButtonStyle=2 --set BackStyle=2 --set "Caption=&Ok")
"$render" "${ok[@]}" --print "$work/ok.png" >"$work/ok.txt"
[ "$(value ClientSize "$work/ok.txt")" = 61x25 ] || fail "Ok client size: $(cat "$work/ok.txt")"
[ "$(pixel "$work/ok.png" size)" = 61x25 ] || fail "the Ok picture is not 61x25"
[ "$(value LeftSlantWidth "$work/ok.txt")" = 0 ] || fail "LeftSlantWidth of a rectangle"
[ "$(value RightSlantStart "$work/ok.txt")" = 61 ] || fail "RightSlantStart of a rectangle"
# Without a picture the picture box is only clamped to the 4-pixel margin.
[ "$(value PictureRect "$work/ok.txt")" = 4,4,0,0 ] || fail "PictureRect without a picture"
[ "$(value StateFlags "$work/ok.txt")" = 0x0000 ] || fail "a button at rest has state flags"
# The rectangular region reaches one pixel past the client area on the right and at the bottom.
[ "$(value RegionBox "$work/ok.txt")" = 0,0,62,26 ] || fail "region box $(value RegionBox "$work/ok.txt")"
# Face colours of the rounded style, from the button face 0xC0C0C0.
python3 - "$work/ok.txt" <<'PY' || fail "face colours of the Ok button"
import sys
kv = dict(l.strip().split('=', 1) for l in open(sys.argv[1]) if '=' in l)
def shade(c, a, scale_blue):
    r0, g0, b0 = c & 255, (c >> 8) & 255, (c >> 16) & 255
    r = r0 + a
    g = round(g0 * 256 / 255 + a)
    if scale_blue:
        bx = round(b0 * 256 / 255)
        b = bx + int(a * bx / 192)
    else:
        b = round(b0 * 256 / 255 + a)
    r, g, b = (max(0, min(255, v)) for v in (r, g, b))
    return r + 256 * g + 65536 * b
face = shade(0xC0C0C0, 48, True)
want = {'FaceColor': face, 'PressedFaceColor': shade(face, -32, True),
        'HoverFaceColor': shade(0xC0C0C0, 48, True), 'CheckedFaceColor': shade(0xFFFFFF, -32, True)}
bad = [(k, kv.get(k), '0x%06X' % v) for k, v in want.items() if kv.get(k) != '0x%06X' % v]
if bad:
    print(bad); sys.exit(1)
PY
# The caption: "Ok" centred in both directions inside the 4-pixel margin, one line high.
IFS=, read -r cl ct cr cb <<<"$(value CaptionRect "$work/ok.txt")"
tw=$((cr - cl)); th=$((cb - ct))
[ "$tw" -gt 8 ] && [ "$tw" -lt 40 ] || fail "caption width $tw"
[ "$th" -gt 8 ] && [ "$th" -lt 17 ] || fail "caption height $th"
[ "$cl" -eq $(((61 - tw) / 2)) ] || fail "caption not centred across: $cl for width $tw"
[ "$ct" -eq $(((25 - th) / 2)) ] || fail "caption not centred down: $ct for height $th"
# Cut corners show the container (button face, 0xC0C0C0), the outer line runs round them in dark blue (0x733C00).
expect_pixel "$work/ok.png" 0 0 C0C0C0 "cut corner"
expect_pixel "$work/ok.png" 60 24 C0C0C0 "cut corner"
expect_pixel "$work/ok.png" 1 1 003C73 "rounded corner pixel"
expect_pixel "$work/ok.png" 30 0 003C73 "outer line"
expect_pixel "$work/ok.png" 30 24 003C73 "outer line"

# States through the input path: the flags under MASK, and the middle-bottom ring (edge 8).
state() {  # STATE MASK FLAGS RING(30,23)
  "$render" "${ok[@]}" --state "$1" --print "$work/s.png" >"$work/s.txt"
  local flags
  flags=$(value StateFlags "$work/s.txt")
  [ $((flags & $2)) -eq $(($3)) ] || fail "state $1: flags $flags"
  [ -z "$4" ] || expect_pixel "$work/s.png" 30 23 "$4" "state $1"
}
state normal 0x0007 0x0000 ""
state hover 0x0007 0x0004 E79600
# A press may also give the button the focus; pressed and pointer-over are what count.
state pressed 0x0006 0x0006 ""
state pressed-out 0x0006 0x0002 ""
state default 0x0007 0x0001 6B82EF
state default,hover 0x0007 0x0005 E79600
# A real click sets a check button (and gives it the focus); a second click clears it; an option
# button stays set. Then the pointer has left: no pointer-over, nothing pressed.
for mode in 1 2; do
  "$render" "${ok[@]}" --set Mode=$mode --state click --print "$work/s.png" >"$work/s.txt"
  [ "$(value Value "$work/s.txt")" = True ] || fail "mode $mode: a click did not set the button"
  [ $(($(value StateFlags "$work/s.txt") & 6)) -eq 0 ] || fail "mode $mode: still pressed or hot after a click"
done
"$render" "${ok[@]}" --set Mode=1 --set Value=True --state click --print "$work/s.png" >"$work/s.txt"
[ "$(value Value "$work/s.txt")" = False ] || fail "a click did not clear a set check button"
# The form designer: a hot-track button at rest shows a dotted outline in the container's colour
# darkened by 64 (0x808080 -> 0x414140); at run time the same button has no border at all.
"$render" --design --container-color 0x808080 --set ButtonStyle=5 "$work/d.png" 2>/dev/null
pixel "$work/d.png" row 0 | grep -q 404141 || fail "no dotted outline in the designer"
"$render" --container-color 0x808080 --set ButtonStyle=5 "$work/d.png"
! pixel "$work/d.png" row 0 | grep -q 404141 || fail "a dotted outline at run time"
# The etched style in the designer: its default frame shows the solid 0xCC9999 mark round the
# caption, which stays where it is while the button is held down.
"$render" --design --set ButtonStyle=3 --set "Caption=&Ok" --state default --print "$work/d.png" >"$work/d.txt"
IFS=, read -r cl ct cr cb <<<"$(value CaptionRect "$work/d.txt")"
expect_pixel "$work/d.png" $((cl - 2)) $((ct - 2)) 9999CC "etched mark in the designer"
expect_pixel "$work/d.png" $((cr + 1)) $((cb + 1)) 9999CC "etched mark in the designer"
"$render" --design --set ButtonStyle=3 --set "Caption=&Ok" --state default,pressed "$work/d.png"
expect_pixel "$work/d.png" $((cl - 2)) $((ct - 2)) 9999CC "etched mark of a held button"
# At run time the default frame needs ShowFocusRect; in the designer the hint alone gives it.
"$render" "${ok[@]}" --set ShowFocusRect=False --state default --print "$work/s.png" >"$work/s.txt"
[ "$(value StateFlags "$work/s.txt")" = 0x0000 ] || fail "default frame without ShowFocusRect"
"$render" "${ok[@]}" --set ShowFocusRect=False --design --state default --print "$work/s.png" \
  >"$work/s.txt" 2>/dev/null
[ "$(value StateFlags "$work/s.txt")" = 0x0001 ] || fail "design-time default frame"

# Shapes: the region leaves the container's colour (here pure red) in the cut-off parts.
"$render" --container-color 0x0000FF --set ButtonShape=4 --size 80x40 "$work/e.png"
for p in "0 0" "79 0" "0 39" "79 39"; do expect_pixel "$work/e.png" $p FF0000 "ellipse corner"; done
[ "$(pixel "$work/e.png" 40 20)" != FF0000 ] || fail "the ellipse has no middle"
# A slanted button too narrow for its slant widens: 33 wide, 30 high -> 38 wide, slant 31.
"$render" --container-color 0x00FF00 --set ButtonShape=1 --size 33x30 --print "$work/l.png" >"$work/l.txt"
[ "$(value ClientSize "$work/l.txt")" = 38x30 ] || fail "slanted width: $(value ClientSize "$work/l.txt")"
[ "$(value LeftSlantWidth "$work/l.txt")" = 31 ] || fail "slant run: $(value LeftSlantWidth "$work/l.txt")"
[ "$(pixel "$work/l.png" size)" = 38x30 ] || fail "the picture is not the widened size"
expect_pixel "$work/l.png" 0 29 00FF00 "below the left slant"
[ "$(pixel "$work/l.png" 0 0)" != 00FF00 ] || fail "the top-left corner of a left slant is cut"
"$render" --set ButtonShape=3 --size 100x30 --print "$work/b.png" >"$work/b.txt"
[ "$(value LeftSlantWidth "$work/b.txt")" = 31 ] && [ "$(value RightSlantStart "$work/b.txt")" = 69 ] ||
  fail "both slants: $(grep Slant "$work/b.txt")"
# A picture-shaped button keeps only the picture's opaque pixels: a green block on the magenta key
# colour (its top-left pixel), framed in the back colour, on a red container.
python3 - "$work/block.bmp" <<'PY'
import struct, sys
w, h = 40, 20
rows = []
for y in range(h - 1, -1, -1):
    row = b''.join(bytes((0, 200, 0)) if 10 <= x < 30 and 5 <= y < 15 else bytes((255, 0, 255))
                   for x in range(w))
    rows.append(row + b'\0' * ((4 - len(row) % 4) % 4))
px = b''.join(rows)
open(sys.argv[1], 'wb').write(struct.pack('<2sIHHI', b'BM', 54 + len(px), 0, 0, 54) +
                              struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(px), 3780, 3780, 0, 0) + px)
PY
"$render" --size 40x20 --container-color 0x0000FF --set "Picture=$work/block.bmp" --set ButtonShape=7 \
  --print "$work/p.png" >"$work/p.txt"
[ "$(value RegionBox "$work/p.txt")" = 10,5,30,15 ] || fail "picture region box $(value RegionBox "$work/p.txt")"
expect_pixel "$work/p.png" 0 0 FF0000 "transparent part of a picture-shaped button"
expect_pixel "$work/p.png" 9 4 FF0000 "transparent part of a picture-shaped button"
expect_pixel "$work/p.png" 10 5 C0C0C0 "frame of a picture-shaped button"
expect_pixel "$work/p.png" 20 10 00C800 "picture of a picture-shaped button"
# The pointer finds the opaque part of a picture-shaped button to press it.
"$render" --size 40x20 --set "Picture=$work/block.bmp" --set ButtonShape=7 --state pressed \
  --print "$work/p.png" >"$work/p.txt"
[ $(($(value StateFlags "$work/p.txt") & 6)) -eq 6 ] || fail "picture-shaped button not pressed"
# A button whose region has no pixel cannot be pointed at: said so, the picture still written.
"$render" --size 1x1 --set ButtonShape=4 --state hover "$work/p.png" 2>"$work/p.err" ||
  fail "an empty region failed the run"
grep -q "region is empty" "$work/p.err" || fail "no word about the empty region"
[ "$(pixel "$work/p.png" size)" = 1x1 ] || fail "no picture for an empty region"
# The picture shapes need a picture: without one the shape is refused and the button stays square.
"$render" --set ButtonShape=7 --print "$work/p.png" >"$work/p.txt"
[ "$(value RegionBox "$work/p.txt")" = 0,0,62,26 ] || fail "shape 7 without a picture was accepted"

# In the designer a refused value is explained in a message, which goes to the error stream
# instead of waiting for a click; at run time the same refusal is silent.
"$render" --design --set Value=True "$work/d.png" 2>"$work/d.err" || fail "design-time message run"
grep -q "message" "$work/d.err" || fail "no design-time message for Value on a command button"
"$render" --set Value=True "$work/d.png" 2>"$work/d.err" || fail "run-time refusal"
[ ! -s "$work/d.err" ] || fail "a run-time refusal said something: $(cat "$work/d.err")"
# A batch renders each line as its own run would, in one process: a held button does not reach
# the next line, a quoted word keeps its blanks, and a bad line fails with 2 without stopping the rest.
"$render" --set "Caption=Two words" --state pressed "$work/single1.png"
"$render" --set ButtonStyle=2 --state hover "$work/single2.png"
printf '%s\n' '# pressed, then hover' '--set "Caption=Two words" --state pressed B1' '--no-such-option B3' \
  '--set ButtonStyle=2 --state hover B2' | sed "s|B\([0-9]\)|$work/batch\1.png|" >"$work/batch.txt"
status=0
"$render" --batch "$work/batch.txt" 2>"$work/batch.err" || status=$?
[ "$status" -eq 2 ] || fail "a batch with a bad line ended with $status"
grep -q "unknown option: --no-such-option" "$work/batch.err" || fail "the bad batch line was not named"
for i in 1 2; do
  cmp -s <(convert "$work/single$i.png" rgb:-) <(convert "$work/batch$i.png" rgb:-) ||
    fail "batch line $i differs from its single run"
done
echo "PASS"
