#!/bin/sh
# Makes the small raster fixtures of the raster tests and records beside them
# what GDAL reads from them. The tests hard-code the corner coordinates that
# gdalinfo prints here; they never run GDAL themselves.
#
# The PNG and BMP files are written byte by byte by the Python program below
# (standard library only), so their pixel values are known exactly:
#   depth_*  4 x 3 pixels, pixel i = column + 4 * row
#     depth_p1.png   1-bit palette: index i % 2 of PALETTE2
#     depth_p4.png   4-bit palette: index i of PALETTE16
#     depth_p8.png   8-bit palette: index i of PALETTE16
#     depth_g8.png   8-bit grey: value 10 + 20 * i
#     depth_g16.png  16-bit grey: value (10 + 20 * i) * 257
#     depth_p4.bmp   4-bit BMP palette: index i of PALETTE16
#     depth_p8.bmp   8-bit BMP palette: index i of PALETTE16
#     depth_16.bmp   16-bit BMP, 5-5-5 bits: colour i of COLOURS555
#   placed.png + placed.pgw   4 x 3 RGB, A 2, D 0, B 0, E -3, C 100.5, F 200.25
#   sheared.png + sheared.pgw 4 x 3 RGB, A 3, D 4, B 4, E -3, C 1000, F 2000,
#                             the world file ending without a line end
# GDAL makes:
#   geo.tif + geo.tfw  placed.png as a GeoTIFF whose upper-left corner is at
#                      (-10, 50) with pixels 0.5 wide and 0.25 high, and the
#                      world file GDAL writes for it
# and gdalinfo's report on placed.png, sheared.png and geo.tif lands in
# *.gdalinfo.txt.
#
# Needs python3 and the Debian package gdal-bin. Run from anywhere:
#   sh make_fixtures.sh
set -eu
cd "$(dirname "$0")"
rm -f depth_* placed.* sheared.* geo.* ./*.gdalinfo.txt ./*.aux.xml

python3 - <<'PY'
import struct, zlib

W, H = 4, 3
PALETTE2 = [(255, 0, 0), (0, 0, 255)]
PALETTE16 = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0),
             (0, 255, 255), (255, 0, 255), (128, 0, 0), (0, 128, 0),
             (0, 0, 128), (128, 128, 0), (0, 128, 128), (128, 0, 128),
             (64, 64, 64), (192, 192, 192), (255, 255, 255), (10, 20, 30)]
COLOURS555 = [(31, 0, 0), (0, 31, 0), (0, 0, 31), (31, 31, 0),
              (0, 31, 31), (31, 0, 31), (16, 0, 0), (0, 16, 0),
              (0, 0, 16), (16, 16, 0), (0, 16, 16), (31, 31, 31)]

def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

def png(path, depth, colour_type, rows, palette=None):
    # rows: lists of samples; sub-byte depths are packed high bits first.
    raw = b""
    for row in rows:
        if depth < 8:
            bits = "".join(format(v, "0%db" % depth) for v in row)
            bits += "0" * (-len(bits) % 8)
            line = bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))
        elif depth == 8:
            line = bytes(v for px in row for v in (px if isinstance(px, tuple) else (px,)))
        else:
            line = b"".join(struct.pack(">H", v) for v in row)
        raw += b"\0" + line
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, depth, colour_type, 0, 0, 0))
    if palette:
        data += chunk(b"PLTE", bytes(v for rgb in palette for v in rgb))
    data += chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
    open(path, "wb").write(data)

def bmp(path, bpp, rows, palette=()):
    # Rows bottom-up, each padded to a multiple of four bytes.
    lines = []
    for row in reversed(rows):
        if bpp == 4:
            line = bytes((row[i] << 4) | row[i + 1] for i in range(0, len(row), 2))
        elif bpp == 8:
            line = bytes(row)
        else:
            line = b"".join(struct.pack("<H", (r << 10) | (g << 5) | b) for r, g, b in row)
        lines.append(line + b"\0" * (-len(line) % 4))
    pixels = b"".join(lines)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, bpp, 0, len(pixels), 2835, 2835, len(palette), 0)
    open(path, "wb").write(header + info + table + pixels)

index = [[c + 4 * r for c in range(W)] for r in range(H)]
png("depth_p1.png", 1, 3, [[i % 2 for i in row] for row in index], PALETTE2)
png("depth_p4.png", 4, 3, index, PALETTE16)
png("depth_p8.png", 8, 3, index, PALETTE16)
png("depth_g8.png", 8, 0, [[10 + 20 * i for i in row] for row in index])
png("depth_g16.png", 16, 0, [[(10 + 20 * i) * 257 for i in row] for row in index])
bmp("depth_p4.bmp", 4, index, PALETTE16)
bmp("depth_p8.bmp", 8, index, PALETTE16)
bmp("depth_16.bmp", 16, [[COLOURS555[i] for i in row] for row in index])

rgb = [[PALETTE16[i] for i in row] for row in index]
png("placed.png", 8, 2, rgb)
png("sheared.png", 8, 2, rgb)
open("placed.pgw", "wb").write(b"2\r\n0\r\n0\r\n-3\r\n100.5\r\n200.25\r\n")
open("sheared.pgw", "wb").write(b"3\r\n4\r\n4\r\n-3\r\n1000\r\n2000")
PY

gdal_translate -q -of GTiff -co TFW=YES -a_ullr -10 50 -8 49.25 placed.png geo.tif
# gdal_translate copies the source's world file into an .aux.xml; the GeoTIFF
# carries its own placement.
rm -f ./*.aux.xml

for f in placed.png sheared.png geo.tif; do
    gdalinfo -nomd -norat -noct "$f" | grep -v '^Files:\|^       \|^Driver' > "${f%.*}.gdalinfo.txt"
done
rm -f ./*.aux.xml
