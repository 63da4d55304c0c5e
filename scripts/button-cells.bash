# Sourced by scripts/gallery and scripts/crosscheck: the button cells they both render, so that
# the comparison with Wine covers exactly what the gallery shows.
#
#   cell_columns            # each column: KEY|HEADING|render options ("click" is a real click
#                           # with the left button: a check button sets itself, takes the focus)
#   make_badge OUT.bmp      # the picture the picture-shaped buttons carry
#   cell_args STYLE SHAPE COLUMN BADGE   # sets cell=(ztbutton-render options) of that cell
#
# Every style and shape is rendered at 88 x 32 with the caption "&Ok".

cell_styles=(0 1 2 3 4 5 6 7)
cell_shapes=(0 1 2 3 4 5 6 7 8)
cell_columns=(
  "normal|normal|"
  "hover|hover|--state hover"
  "pressed|pressed|--state pressed"
  "pressed-out|pressed, pointer off|--state pressed-out"
  "default|default|--state default"
  "disabled|disabled|--set Enabled=False"
  "option-set|option set|--set Mode=2 --set Value=True"
  "check-clicked|check clicked|--set Mode=1 --state click"
  "check-set-disabled|check set, disabled|--set Mode=1 --set Value=True --set Enabled=False"
  "gradient|gradient|--set GradientColor=0xA06020 --set GradientMode=3"
  "gradient-hover|gradient, hover|--set GradientColor=0xA06020 --set GradientMode=3 --state hover"
  "designer|designer|--design"
  "designer-default|designer, default|--design --state default"
)

column_key() { local c=${cell_columns[$1]}; echo "${c%%|*}"; }
column_heading() { local c=${cell_columns[$1]#*|}; echo "${c%%|*}"; }

cell_args() {  # STYLE SHAPE COLUMN BADGE
  local options=${cell_columns[$3]#*|}
  options=${options#*|}
  cell=(--size 88x32 --set "ButtonStyle=$1" --set "Caption=&Ok")
  [ "$2" -lt 7 ] || cell+=(--set "Picture=$4")
  cell+=(--set "ButtonShape=$2")
  # shellcheck disable=SC2206  # the options are words by design
  cell+=($options)
}

# A badge of a disc and a bar on a magenta key colour (the top-left pixel's colour is the
# transparent one), 64 x 28 pixels.
make_badge() {  # OUT.bmp
  python3 - "$1" <<'PY'
import struct, sys
w, h = 64, 28
rows = []
for y in range(h - 1, -1, -1):  # bottom-up rows
    row = b''
    for x in range(w):
        disc = (x - 14) ** 2 + (y - 14) ** 2 <= 13 ** 2
        bar = 10 <= x <= 60 and 6 <= y <= 21 and ((x - 54) ** 2 + (y - 13.5) ** 2 <= 8 ** 2 or x <= 54)
        if disc:
            row += bytes((40, 120, 230))      # B, G, R: orange
        elif bar:
            row += bytes((200, 150, 60))      # a steel blue
        else:
            row += bytes((255, 0, 255))
    row += b'\0' * ((4 - len(row) % 4) % 4)
    rows.append(row)
pixels = b''.join(rows)
header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
open(sys.argv[1], 'wb').write(header + info + pixels)
PY
}
