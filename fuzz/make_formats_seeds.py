#!/usr/bin/env python3
"""Makes the seed corpora of the WKT and WKB fuzzers from the fixtures of
tests/data/formats: each WKT line the program writes and each WKT and WKB of
shapely becomes one seed, with a few texts and byte runs that are damaged the
way pasted or plug-in input can be."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
data = here.parent / "tests" / "data" / "formats"
wkt_out = here / "corpus" / "wkt"
wkb_out = here / "corpus" / "wkb"
for folder in (wkt_out, wkb_out):
    folder.mkdir(parents=True, exist_ok=True)

for path in sorted(data.glob("*.wkt")):
    for k, line in enumerate(path.read_text().splitlines()):
        name = path.name.replace(".", "-") + "-%d" % k
        (wkt_out / (name + ".seed")).write_text(line)
        # Cut short.
        (wkt_out / (name + "-cut.seed")).write_text(line[: len(line) * 2 // 3])
for name, text in {
    "two-points": "POINT(1 2)\r\npoint (3 4)",
    "collection": "GEOMETRYCOLLECTION(POINT(1 2))",
    "multipoint": "MULTIPOINT(1 2, 3 4)",
    "empty": "LINESTRING EMPTY POLYGON Z EMPTY",
    "exponents": "POINT(+1.5e2 -.5e-3)",
    "comma": "POINT(1 2), POINT(3 4)",
}.items():
    (wkt_out / (name + ".seed")).write_text(text)

for path in sorted(data.glob("*.shapely.wkb")):
    for k, line in enumerate(path.read_text().split()):
        raw = bytes.fromhex(line)
        name = path.name.replace(".", "-") + "-%d" % k
        (wkb_out / (name + ".seed")).write_bytes(raw)
        (wkb_out / (name + "-cut.seed")).write_bytes(raw[: len(raw) - 5])

square = [(0.0, 0.0), (0.0, 1.0), (1.0, 1.0), (1.0, 0.0), (0.0, 0.0)]


def ring(points, order):
    return struct.pack(order + "I", len(points)) + b"".join(struct.pack(order + "2d", *p) for p in points)


# A multi-polygon whose second polygon is big-endian.
mixed = (struct.pack("<BII", 1, 6, 2) + struct.pack("<BII", 1, 3, 1) + ring(square, "<")
         + struct.pack(">BII", 0, 3, 1) + ring(square, ">"))
(wkb_out / "mixed-order.seed").write_bytes(mixed)
# Counts that overflow 32-bit byte sizes.
(wkb_out / "huge-line.seed").write_bytes(struct.pack("<BII", 1, 2, 0x10000000) + b"\0" * 32)
(wkb_out / "huge-ring.seed").write_bytes(struct.pack("<BII", 1, 6, 1) + struct.pack("<BIII", 1, 3, 1, 0x20000000)
                                         + b"\0" * 16)
