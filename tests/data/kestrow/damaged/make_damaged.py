#!/usr/bin/env python3
"""Writes damaged copies of nc6.shp/.shx (six North Carolina counties, the
fourth with three rings), each with known faults, beside this script.

Record layout of nc6.shp: record i starts at the offset its .shx entry gives
(100, 588, 1060, 1564, 2236, 2836; the file ends at 3244)."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
SHP = (here / "nc6.shp").read_bytes()
SHX = (here / "nc6.shx").read_bytes()


def be32(b, at):
    return struct.unpack_from(">i", b, at)[0]


def put_be32(b, at, v):
    struct.pack_into(">i", b, at, v)


def put_le32(b, at, v):
    struct.pack_into("<i", b, at, v)


def le_double(b, at):
    return struct.unpack_from("<d", b, at)[0]


def put_le_double(b, at, v):
    struct.pack_into("<d", b, at, v)


def record_at(i):
    """Byte offset of record i (1-based) from the good index."""
    return 2 * be32(SHX, 100 + 8 * (i - 1))


def point_at(shp, rec, k):
    """Byte offset of point k of the polygon record starting at rec."""
    parts = struct.unpack_from("<i", shp, rec + 44)[0]
    return rec + 52 + 4 * parts + 16 * k


def part_start(shp, rec, j):
    return struct.unpack_from("<i", shp, rec + 52 + 4 * j)[0]


def truncated_shp(shp, shx):
    del shp[record_at(5) + 100:]


def truncated_shx(shp, shx):
    # Four whole entries and half of the fifth.
    del shx[100 + 8 * 4 + 4:]


def content_length(shp, shx):
    rec = record_at(3)
    put_be32(shp, rec + 4, be32(shp, rec + 4) + 4)


def index_offset(shp, shx):
    # Points 16 bytes into record 4, at its box.
    put_be32(shx, 100 + 8 * 3, be32(shx, 100 + 8 * 3) + 8)


def index_past_end(shp, shx):
    put_be32(shx, 100 + 8 * 2, 100000)


def index_length(shp, shx):
    put_be32(shx, 100 + 8 * 1 + 4, be32(shx, 100 + 8 * 1 + 4) - 2)


def unclosed_ring(shp, shx):
    # The last point of record 4's second ring takes the place of the one
    # before it, so the record box still fits its points.
    rec = record_at(4)
    last = part_start(shp, rec, 2) - 1
    shp[point_at(shp, rec, last):point_at(shp, rec, last) + 16] = \
        shp[point_at(shp, rec, last - 1):point_at(shp, rec, last - 1) + 16]


def record_box(shp, shx):
    # Record 2's x-max moves right, still inside the file box.
    rec = record_at(2)
    put_le_double(shp, rec + 28, le_double(shp, rec + 28) + 0.25)


def file_code(shp, shx):
    put_be32(shp, 0, 9995)


def header_box(shp, shx):
    put_le_double(shp, 60, le_double(shp, 60) + 1.0)


def record_type(shp, shx):
    put_le32(shp, record_at(3) + 8, 3)


def record_number(shp, shx):
    put_be32(shp, record_at(5), 50)


def zero_parts(shp, shx):
    # Record 6 becomes a polygon of no parts and no points (a zero box), as
    # writers store an empty shape; lengths and both header boxes follow.
    rec = record_at(6)
    del shp[rec:]
    shp += struct.pack(">ii", 6, 22) + struct.pack("<i4dii", 5, 0, 0, 0, 0, 0, 0)
    put_be32(shp, 24, len(shp) // 2)
    put_be32(shx, 100 + 8 * 5 + 4, 22)
    box = [float("inf"), float("inf"), float("-inf"), float("-inf")]
    for i in range(1, 6):
        r = record_at(i)
        for k in range(4):
            v = le_double(shp, r + 12 + 8 * k)
            box[k] = min(box[k], v) if k < 2 else max(box[k], v)
    for k in range(4):
        put_le_double(shp, 36 + 8 * k, box[k])
        put_le_double(shx, 36 + 8 * k, box[k])


def three_faults(shp, shx):
    content_length_2 = record_at(2)
    put_be32(shp, content_length_2 + 4, be32(shp, content_length_2 + 4) - 8)
    unclosed_ring(shp, shx)
    put_be32(shx, 100 + 8 * 5, be32(shx, 100 + 8 * 5) - 20)


COPIES = [truncated_shp, truncated_shx, content_length, index_offset, index_past_end, index_length,
          unclosed_ring, record_box, file_code, header_box, record_type, record_number, zero_parts,
          three_faults]

if __name__ == "__main__":
    for damage in COPIES:
        shp = bytearray(SHP)
        shx = bytearray(SHX)
        damage(shp, shx)
        (here / (damage.__name__ + ".shp")).write_bytes(shp)
        (here / (damage.__name__ + ".shx")).write_bytes(shx)
