#!/usr/bin/env python3
"""Makes the seed corpus of the selection-commands fuzzer from the test fixtures.

Each seed is three control bytes (part rule, comparison, vertex count) and the
records of a fixture .shp (8-byte header and content, at most ten), which is
the input layout SelectionCommandsFuzz.cpp expects; one seed adds a polyline
whose points all lie on one spot, whose box is a single point."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
shapes = here.parent / "tests" / "data" / "shapes"
out = here / "corpus" / "selection_commands"
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


def polyline(number, points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    content = struct.pack("<i4d2i", 3, min(xs), min(ys), max(xs), max(ys), 1, len(points))
    content += struct.pack("<i", 0)
    for x, y in points:
        content += struct.pack("<2d", x, y)
    return struct.pack(">2i", number, len(content) // 2) + content


CONTROLS = [bytes([0, 1, 2]), bytes([1, 0, 4]), bytes([0, 2, 1])]
for shp in sorted(shapes.glob("*.shp")):
    body = b"".join(list(records(shp.read_bytes()))[:10])
    if not body:
        continue
    for k, control in enumerate(CONTROLS):
        (out / ("%s-%d.seed" % (shp.stem, k))).write_bytes(control + body)

dot = polyline(1, [(3.0, 3.0), (3.0, 3.0)]) + polyline(2, [(0.0, 0.0), (4.0, 2.0)])
(out / "polyline-dot.seed").write_bytes(bytes([0, 1, 2]) + dot)
