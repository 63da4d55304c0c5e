#!/usr/bin/env python3
"""Compares two screenshots of one window's client area, ours and Wine's, pixel by pixel, with
the glyphs left out: inside each text rectangle (a label, the text box's text area, a button's
face) every pixel that has the text's colour on either side belongs to a glyph, drawn from
another font file on each side, and is not compared (both sides draw text unsmoothed, so a glyph
has no other colours). Everything else must match, except inside the explained rectangles (rows
of docs/crosscheck.md), whose differences are counted apart. Pictures of different sizes are
laid on each other at their top-left corners; a pixel that only one of them has differs.

    window_compare.py LINUX.png WINDOWS.png DIFF.png [--text L,T,R,B,RRGGBB]...
                      [--explained L,T,R,B]...

Prints one line: `size WxH[/W2xH2] compared N differing D unexplained U`. DIFF.png shows ours,
Wine's, and the differences (red: unexplained, orange: explained, grey: glyphs) side by side,
three times as large.
"""
import argparse
import subprocess


def read(path):
    """(width, height, bytes of RGB rows) of a picture, through ImageMagick."""
    data = subprocess.run(['convert', path, '-depth', '8', 'ppm:-'], check=True, capture_output=True).stdout
    fields, at = [], 0
    while len(fields) < 4:  # P6, width, height, maximum, separated by white space
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[at + 1:at + 1 + width * height * 3]


def rect(text):
    left, top, right, bottom = (int(v) for v in text.split(',')[:4])
    return left, top, right, bottom


def text_rect(text):
    return rect(text), bytes.fromhex(text.split(',')[4])


def inside(rects, x, y):
    return any(left <= x < right and top <= y < bottom for left, top, right, bottom in rects)


def glyph(texts, x, y, a, b):
    return any(inside([r], x, y) and colour in (a, b) for r, colour in texts)


def pixel(picture, x, y):
    """The RGB bytes at x, y, or None outside the picture."""
    w, h, data = picture
    return data[(y * w + x) * 3:(y * w + x) * 3 + 3] if x < w and y < h else None


def write(path, width, height, rows):
    ppm = b'P6 %d %d 255\n' % (width, height) + bytes(rows)
    subprocess.run(['convert', 'ppm:-', '-scale', '300%', path], input=ppm, check=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('linux')
    parser.add_argument('windows')
    parser.add_argument('diff')
    parser.add_argument('--text', type=text_rect, action='append', default=[])
    parser.add_argument('--explained', type=rect, action='append', default=[])
    args = parser.parse_args()
    ours, theirs = read(args.linux), read(args.windows)
    w, h = max(ours[0], theirs[0]), max(ours[1], theirs[1])
    blank = b'\xff\xff\xff'
    compared = differing = unexplained = 0
    rows = bytearray()
    for y in range(h):
        left, right, marks = bytearray(), bytearray(), bytearray()
        for x in range(w):
            a, b = pixel(ours, x, y), pixel(theirs, x, y)
            left += a or blank
            right += b or blank
            if glyph(args.text, x, y, a, b):
                marks += b'\x60\x60\x60'
                continue
            compared += 1
            if a == b:
                marks += blank
            elif inside(args.explained, x, y):
                differing += 1
                marks += b'\xff\xa0\x00'
            else:
                differing += 1
                unexplained += 1
                marks += b'\xff\x00\x00'
        rows += left + blank * 4 + right + blank * 4 + marks
    write(args.diff, 3 * w + 8, h, rows)
    size = f'{ours[0]}x{ours[1]}' + ('' if ours[:2] == theirs[:2] else f'/{theirs[0]}x{theirs[1]}')
    print(f'size {size} compared {compared} differing {differing} unexplained {unexplained}')


main()
