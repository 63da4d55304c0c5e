#!/usr/bin/env python3
"""Writes a copy of an AVI clip that holds its first frame alone: the player then shows that frame
for as long as it plays, so a window with the clip can be photographed on its first frame at any
moment. The headers' frame counts become 1; the index goes (the player reads the movi list).

    first_frame_clip.py IN.avi OUT.avi
"""
import struct
import sys


def chunks(data, start, end):
    """(id, payload start, payload end) of each chunk between start and end."""
    at = start
    while at + 8 <= end:
        cid, size = data[at:at + 4], struct.unpack_from('<I', data, at + 4)[0]
        if at + 8 + size > end:
            sys.exit(f'first_frame_clip: the chunk {cid!r} runs past its list')
        yield cid, at + 8, at + 8 + size
        at += 8 + size + (size & 1)


def chunk(cid, payload):
    return cid + struct.pack('<I', len(payload)) + payload + b'\0' * (len(payload) & 1)


def is_frame(cid):
    return cid[2:4] in (b'db', b'dc')


def first_frame(data, start, end):
    """The movi payload cut after its first frame (palette changes before it stay)."""
    kept = b''
    for cid, s, e in chunks(data, start, end):
        if cid == b'LIST' and data[s:s + 4] == b'rec ':
            inner = first_frame(data, s + 4, e)
            kept += chunk(b'LIST', b'rec ' + inner[0])
            if inner[1]:
                return kept, True
        else:
            kept += chunk(cid, data[s:e])
            if is_frame(cid):
                return kept, True
    return kept, False


def header_list(data, start, end):
    out = bytearray(data[start:end])
    for cid, s, e in chunks(data, start + 4, end):
        if cid == b'avih':
            struct.pack_into('<I', out, s - start + 16, 1)  # total frames
        elif cid == b'LIST' and data[s:s + 4] == b'strl':
            for sid, ss, _ in chunks(data, s + 4, e):
                if sid == b'strh':
                    struct.pack_into('<I', out, ss - start + 32, 1)  # the stream's length
    return bytes(out)


def main():
    data = open(sys.argv[1], 'rb').read()
    if data[:4] != b'RIFF' or data[8:12] != b'AVI ':
        sys.exit(f'first_frame_clip: {sys.argv[1]} is not an AVI clip')
    body = b''
    found = False
    for cid, s, e in chunks(data, 12, min(len(data), 8 + struct.unpack_from('<I', data, 4)[0])):
        kind = data[s:s + 4] if cid == b'LIST' else b''
        if kind == b'hdrl':
            body += chunk(b'LIST', header_list(data, s, e))
        elif kind == b'movi':
            movi, found = first_frame(data, s + 4, e)
            body += chunk(b'LIST', b'movi' + movi)
        elif cid != b'idx1':
            body += chunk(cid, data[s:e])
    if not found:
        sys.exit(f'first_frame_clip: {sys.argv[1]} has no frame')
    open(sys.argv[2], 'wb').write(chunk(b'RIFF', b'AVI ' + body))


main()
