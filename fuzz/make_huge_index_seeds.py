#!/usr/bin/env python3
"""Makes the shape-walk seed of an index whose header claims a huge file.

The pair is linesz.shp from the test fixtures (320 bytes, one record) and a
181-byte .shx: linesz.shx's header with the file length field set to
0x40000000 16-bit words (2 GiB, some 268 million entries), the fixture's one
entry repeated ten times, and one stray byte. A walk that sized anything by
the header's claim would allocate gigabytes before looking at an entry.

The seed is a little-endian u32 with the .shp size, the .shp bytes, then the
.shx bytes (505 bytes in all), the input layout ShapeWalkFuzz.cpp expects."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
shapes = here.parent / "tests" / "data" / "shapes"
out = here / "corpus" / "shape_walk"
out.mkdir(parents=True, exist_ok=True)

shp = (shapes / "linesz.shp").read_bytes()
index = (shapes / "linesz.shx").read_bytes()
assert len(shp) == 320 and len(index) == 108
header = bytearray(index[:100])
struct.pack_into(">I", header, 24, 0x40000000)
shx = bytes(header) + index[100:108] * 10 + b"\0"
assert len(shx) == 181
seed = struct.pack("<I", len(shp)) + shp + shx
assert len(seed) == 505
(out / "huge-index-length.seed").write_bytes(seed)
