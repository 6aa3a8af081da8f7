#!/usr/bin/env python3
"""Makes the seed corpus of the shape-operations fuzzer from the test fixtures.

Each seed is one record of a fixture .shp (8-byte header and content), alone
and followed by a cut segment of four little-endian doubles, which is the
input layout ShapeOperationsFuzz.cpp expects; a few seeds spoil a record's
counts or coordinates the way damaged files do."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
shapes = here.parent / "tests" / "data" / "shapes"
out = here / "corpus" / "shape_ops"
out.mkdir(parents=True, exist_ok=True)


def records(shp_bytes):
    offset = 100
    while offset + 8 <= len(shp_bytes):
        words = struct.unpack(">I", shp_bytes[offset + 4:offset + 8])[0]
        end = offset + 8 + 2 * words
        if end > len(shp_bytes):
            break
        yield shp_bytes[offset:end]
        offset = end


CUT = struct.pack("<4d", -1000.0, -1000.0, 1000.0, 1000.0)
for shp in sorted(shapes.glob("*.shp")):
    for k, record in enumerate(records(shp.read_bytes())):
        if k >= 3:
            break
        (out / ("%s-%d.seed" % (shp.stem, k))).write_bytes(record)
        (out / ("%s-%d-cut.seed" % (shp.stem, k))).write_bytes(record + CUT)
        if struct.unpack("<I", record[8:12])[0] in (3, 5, 13, 15) and k == 0:
            parts = struct.unpack("<I", record[44:48])[0]
            nan = bytearray(record)
            nan[52 + 4 * parts:52 + 4 * parts + 8] = struct.pack("<d", float("nan"))
            (out / ("%s-nan.seed" % shp.stem)).write_bytes(bytes(nan))
            empty_part = bytearray(record)
            empty_part[44:48] = struct.pack("<I", 0)
            (out / ("%s-noparts.seed" % shp.stem)).write_bytes(bytes(empty_part))
