#!/usr/bin/env python3
"""Makes the seed corpus of the clipboard fuzzer: shape blocks of every record
type a block may hold, with and without attribute columns, coordinate blocks,
and copies damaged the way data from another process can be (cut short,
counts beyond the bytes, a value without its terminating NUL)."""
import pathlib
import struct

out = pathlib.Path(__file__).resolve().parent / "corpus" / "clipboard"
out.mkdir(parents=True, exist_ok=True)


def header(number, size):
    # Record number and content length in 16-bit words, both big-endian.
    return struct.pack(">II", number, (size - 8) // 2)


def point(x, y, z=None):
    if z is None:
        return header(1, 28) + struct.pack("<I2d", 1, x, y)
    return header(1, 44) + struct.pack("<I4d", 11, x, y, z, 0.0)


def multi(shape_type, parts, with_z=False):
    points = [p for part in parts for p in part]
    starts, at = [], 0
    for part in parts:
        starts.append(at)
        at += len(part)
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    body = struct.pack("<I4dII", shape_type, min(xs), min(ys), max(xs), max(ys), len(parts), len(points))
    body += b"".join(struct.pack("<I", s) for s in starts)
    body += b"".join(struct.pack("<2d", p[0], p[1]) for p in points)
    if with_z:
        zs = [p[2] for p in points]
        body += struct.pack("<2d", min(zs), max(zs)) + b"".join(struct.pack("<d", z) for z in zs)
        body += struct.pack("<2d", 0.0, 0.0) + b"".join(struct.pack("<d", 0.0) for _ in zs)
    size = 8 + len(body)
    return header(1, size) + body


def column(name, length, decimals, field_type):
    return name.encode()[:11].ljust(12, b"\0") + struct.pack("<3i", length, decimals, field_type)


def block(shape_type, columns, items):
    data = struct.pack("<3I", shape_type, len(columns), len(items))
    data += b"".join(column(*c) for c in columns)
    for record, values in items:
        data += record + b"".join(v.encode() + b"\0" for v in values)
    return data


def coordinates(points, per_point=2):
    data = struct.pack("<2I", len(points), per_point)
    for p in points:
        data += struct.pack("<%dd" % per_point, *(list(p) + [0.0] * (per_point - 2)))
    return data


square = [(0.0, 0.0), (0.0, 1.0), (1.0, 1.0), (1.0, 0.0), (0.0, 0.0)]
seeds = {
    "points": block(1, [("NAME", 20, 0, 0), ("POP", 9, 0, 1)],
                    [(point(1.5, 2.5), ["Alba", "1200"]), (point(-3, 4), ["Brora", ""])]),
    "pointz": block(11, [], [(point(1, 2, 3), [])]),
    "polyline": block(3, [("POPULATION2020", 12, 0, 1)],
                      [(multi(3, [[(0, 0), (1, 1)], [(2, 2), (3, 1), (4, 2)]]), ["7"])]),
    "polylinez": block(13, [("D", 8, 2, 2)], [(multi(13, [[(0, 0, 5), (2, 1, 6), (4, 0, 7)]], True), ["1.25"])]),
    "polygon": block(5, [("K", 1, 0, 4)], [(multi(5, [square]), ["T"])]),
    "polygonz": block(15, [], [(multi(15, [[(x, y, 1.0) for x, y in square]], True), [])]),
    "empty": block(5, [("A", 4, 0, 0)], []),
    "coordinates": coordinates([(1.0, 2.0), (3.5, -4.0)]),
    "coordinates-none": coordinates([]),
    "coordinates-three": coordinates([(1.0, 2.0)], 3),
}
damaged = {
    "points-cut": seeds["points"][:-7],
    "points-count": seeds["points"][:8] + struct.pack("<I", 1000) + seeds["points"][12:],
    "points-no-nul": seeds["points"][:-1],
    "polyline-parts": seeds["polyline"][:12 + 24 + 44] + struct.pack("<I", 99) + seeds["polyline"][12 + 24 + 48:],
    "coordinates-count": struct.pack("<I", 0x7FFFFFFF) + seeds["coordinates"][4:],
}
for name, data in {**seeds, **damaged}.items():
    (out / (name + ".seed")).write_bytes(data)
