# Sourced by the wait-clip end-to-end scripts: `corvane C:`, started from a folder of its own under
# a window manager on Xvfb, while each volume flush is made to block two seconds (ten in all).
#
#   source wait_clip_run.bash
#   watch_wait_clip openbox BIN_DIR
#
# Checks, from screenshots of the X screen taken during the block: the wait window's client area
# shows nothing but frames of the clip that lies beside the program (pixel for pixel), at least
# five different ones. The clip loops every 1.6 s, so which frame the first screenshot meets says
# nothing about when the clip began: on a loaded machine the first screenshot may come a second
# after the window. The block is long enough that the screenshots never meet the result window.

source "$(dirname "${BASH_SOURCE[0]}")/window_manager_run.bash"

watch_wait_clip() {
  local manager=$1 bin=$2
  [ -x "$bin/corvane" ] && [ -s "$bin/res.dll" ] || fail "corvane and its media must be built in $bin"
  for tool in xdotool xwininfo import python3; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
  done
  start_xvfb
  start_window_manager "$manager"
  export CORVANE_DRIVES="$session_dir/no-drive-table"
  mkdir -p "$session_dir/elsewhere" "$session_dir/shots"
  (cd "$session_dir/elsewhere" && CORVANE_TEST_FLUSH_DELAY_MS=2000 exec "$bin/corvane" C:) \
    >"$session_dir/corvane.log" 2>&1 &
  local app=$!
  track_pid "$app"

  local w geometry
  w=$(window_of_size "$app" "$wait_size") || { cat "$session_dir/corvane.log"; fail "no wait window"; }
  geometry=$(geometry_of "$w")
  # Screenshots until five different pictures were seen, the result window comes, or 6 s have
  # passed (the block lasts 10 s from before the window was found).
  local shot=0 start
  start=$(date +%s%N)
  while [ $((($(date +%s%N) - start) / 1000000)) -lt 6000 ]; do
    import -window root -crop "$geometry" +repage -depth 8 "rgb:$session_dir/shots/$(printf %03d $shot).rgb" \
      2>/dev/null || break
    shot=$((shot + 1))
    [ "$(md5sum "$session_dir"/shots/*.rgb | cut -d' ' -f1 | sort -u | wc -l)" -lt 5 ] || break
    xdotool search --all --onlyvisible --pid "$app" --name "Corvane v" >/dev/null 2>&1 && break
  done
  echo "$manager: $shot screenshots of the wait window at $geometry"
  python3 - "$bin/res.dll" "$session_dir/shots" "${geometry%%+*}" <<'PY' || fail "the wait window did not play its clip"
import os, sys
clip_path, shots_dir, size = sys.argv[1], sys.argv[2], sys.argv[3]
width, height = map(int, size.split("x"))

import struct

# The clip beside the program, decoded here on its own: 8-bit frames, raw or RLE8, each drawn over
# the one before (the first over palette colour 0), rows stored bottom-up.
def chunks(data, start, end):
    at = start
    while end - at >= 8:
        cid, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        yield cid, at + 8, size
        at += 8 + size + (size & 1)

with open(clip_path, "rb") as f:
    avi = f.read()
header = palette = None
movie = []
def visit(start, end):
    global header, palette
    for cid, at, size in chunks(avi, start, end):
        if cid in (b"RIFF", b"LIST"):
            visit(at + 4, at + size)
        elif cid == b"strf":
            header = struct.unpack_from("<IiiHHII", avi, at)
            used = struct.unpack_from("<I", avi, at + 32)[0] or 256
            palette = [avi[at + header[0] + 4 * i:at + header[0] + 4 * i + 3][::-1] for i in range(used)]
        elif cid[2:] in (b"db", b"dc"):
            movie.append(avi[at:at + size])
visit(0, len(avi))
w, h, compression = header[1], header[2], header[5]
canvas = [[palette[0]] * w for _ in range(h)]
frames = []
for data in movie:
    if compression == 0:
        stride = (w + 3) & ~3
        for y in range(h):
            canvas[y] = [palette[i] for i in data[y * stride:y * stride + w]]
    else:
        x = y = i = 0
        while i + 1 < len(data):
            count, value = data[i], data[i + 1]
            i += 2
            if count:
                for _ in range(count):
                    if x < w and y < h: canvas[y][x] = palette[value]
                    x += 1
            elif value == 0: x, y = 0, y + 1
            elif value == 1: break
            elif value == 2: x, y, i = x + data[i], y + data[i + 1], i + 2
            else:
                for k in range(value):
                    if x < w and y < h: canvas[y][x] = palette[data[i + k]]
                    x += 1
                i += value + (value & 1)
    # The clip is centred on the control that covers the client area from its corner; the part of
    # it inside the client area is what the screen shows.
    ox, oy = (252 - w) // 2, (58 - h) // 2
    rows = []
    for sy in range(height):
        fy = h - 1 - (sy - oy)
        rows.append(b"".join(canvas[fy][max(0, -ox):max(0, -ox) + width]) if 0 <= sy - oy < h else b"")
    frames.append(b"".join(rows))

shots = sorted(os.listdir(shots_dir))
seen = []
for name in shots:
    with open(os.path.join(shots_dir, name), "rb") as f:
        shot = f.read()
    if shot not in frames:
        print("screenshot %s is no frame of the clip" % name)
        sys.exit(1)
    index = frames.index(shot)
    if not seen or seen[-1] != index:
        seen.append(index)
print("frames seen in order: %s" % seen)
if len(set(seen)) < 5:
    print("fewer than five different frames")
    sys.exit(1)
PY
  # The run goes on to its result as usual.
  w=$(window_of_size "$app" "$result_size") || { cat "$session_dir/corvane.log"; fail "no result window"; }
  timeout 5 xdotool key alt+o || true
  expect_end "$app" "Alt+O"
  echo "PASS"
}
