#!/usr/bin/env python3
"""bmp_to_png.py in.bmp out.png: a 24-bit BMP (as the game saves its
screenshots) as a PNG, with the standard library only."""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, 'rb').read()
    if data[:2] != b'BM':
        raise SystemExit(f'{path}: not a BMP file')
    offset = struct.unpack_from('<I', data, 10)[0]
    width, height = struct.unpack_from('<ii', data, 18)
    if struct.unpack_from('<H', data, 28)[0] != 24:
        raise SystemExit(f'{path}: not a 24-bit BMP')
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        source = abs(height) - 1 - y if height > 0 else y  # bottom-up unless negative
        row = data[offset + source * stride: offset + source * stride + width * 3]
        rgb = bytearray(width * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = row[2::3], row[1::3], row[0::3]
        rows.append(bytes(rgb))
    return width, abs(height), rows


def png(width, height, rows):
    # Each row filtered against the one above ("Up"), which suits pictures.
    previous = bytes(width * 3)
    raw = bytearray()
    for row in rows:
        raw.append(2)
        raw.extend((a - b) & 0xFF for a, b in zip(row, previous))
        previous = row

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF)

    header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) +
            chunk(b'IEND', b''))


if __name__ == '__main__':
    if len(sys.argv) != 3:
        raise SystemExit('usage: bmp_to_png.py in.bmp out.png')
    open(sys.argv[2], 'wb').write(png(*read_bmp(sys.argv[1])))
