#!/usr/bin/env python3
"""Reference check of a .shp/.shx pair, written apart from the checker, for
the expected reports of the damaged copies. Prints the report the checker
should give after its "File: <path>" line, lines ending in LF where the
checker's end in CR LF.

Usage: reference_check.py file.shp"""
import struct
import sys

NAMES = {1: "Point", 3: "Arc", 5: "Polygon", 11: "PointZ", 13: "PolyLineZ", 15: "PolygonZ"}
MULTI = (3, 5, 13, 15)


def fixed(v):
    return "%.6f" % v


def be(b, at):
    return struct.unpack_from(">I", b, at)[0]


def le(b, at):
    return struct.unpack_from("<I", b, at)[0]


def signed(v):
    return v - (1 << 32) if v >= 1 << 31 else v


def dbl(b, at):
    return struct.unpack_from("<d", b, at)[0]


def need_sizes(shp, start, rtype):
    """Content lengths (bytes, type included) the record's type and counts
    allow; empty when unknown or when the counts lie outside the file."""
    if rtype == 0:
        return [4]
    if rtype == 1:
        return [20]
    if rtype == 11:
        return [28, 36]
    if rtype in MULTI:
        if start + 52 > len(shp):
            return []
        parts, points = le(shp, start + 44), le(shp, start + 48)
        if rtype in (3, 5):
            return [44 + 4 * parts + 16 * points]
        return [60 + 4 * parts + 24 * points, 76 + 4 * parts + 32 * points]
    return []


def check(path):
    out = []
    shp = open(path, "rb").read()
    shx = open(path[:-4] + ".shx", "rb").read()
    if be(shp, 0) != 9994:
        out.append("File code error: File code set to %d. Expected 9994." % signed(be(shp, 0)))
    if le(shp, 28) != 1000:
        out.append("Unsupported file version: File version set to %d. Expected 1000." % signed(le(shp, 28)))
        return out
    shx_length = 2 * be(shx, 24)
    n = max(0, (shx_length - 100) // 8)
    out.append("Record count: %d" % n)
    htype = le(shp, 32)
    out.append("Shape type: %d (%s)." % (signed(htype), NAMES.get(htype, "Unsupported type in Corvale")))
    if htype not in NAMES:
        return out
    if 2 * be(shp, 24) != len(shp):
        out.append("Main file length error. Header says %d bytes, the file has %d." % (2 * be(shp, 24), len(shp)))
    if shx_length != len(shx):
        out.append("Index file length error. Header says %d bytes, the file has %d." % (shx_length, len(shx)))
    entries = (len(shx) - 100) // 8
    if (len(shx) - 100) % 8:
        out.append("Index entry %d is cut: the index file ends at byte %d." % (entries + 1, len(shx)))

    st = {"slots": 0, "seen": 0, "unread": 0, "nulls": 0, "empty": 0, "first_type": None, "box": None}
    flags = set()

    def join(b):
        if st["box"] is None:
            st["box"] = list(b)
        else:
            st["box"] = [min(st["box"][0], b[0]), min(st["box"][1], b[1]),
                         max(st["box"][2], b[2]), max(st["box"][3], b[3])]

    def looks_like(pos, num, index_length):
        if pos < 100 or pos + 12 > len(shp):
            return False
        if be(shp, pos) == num:
            return True
        return le(shp, pos + 8) in (0, htype) and index_length is not None and 2 * be(shp, pos + 4) == index_length

    def body(num, pos, rtype):
        """Checks a complete record whose counts fit its length."""
        if rtype == 0:
            st["nulls"] += 1
            return True
        if rtype in (1, 11):
            x, y = dbl(shp, pos + 12), dbl(shp, pos + 20)
            join([x, y, x, y])
            return True
        box = [dbl(shp, pos + 12 + 8 * k) for k in range(4)]
        parts, points = le(shp, pos + 44), le(shp, pos + 48)
        starts = [le(shp, pos + 52 + 4 * j) for j in range(parts)]
        if any(s >= points for s in starts) or any(b < a for a, b in zip(starts, starts[1:])):
            out.append("Record %d: its part starts do not fit its %d points." % (num, points))
            return False
        if box[2] < box[0]:
            out.append("Record %d: box x-min %s is above x-max %s." % (num, fixed(box[0]), fixed(box[2])))
            flags.add("x")
        if box[3] < box[1]:
            out.append("Record %d: box y-min %s is above y-max %s." % (num, fixed(box[1]), fixed(box[3])))
            flags.add("y")
        if parts == 0:
            out.append("Record %d has zero parts." % num)
            st["empty"] += 1
            flags.add("zero")
            return True
        at = pos + 52 + 4 * parts
        xs = [dbl(shp, at + 16 * k) for k in range(points)]
        ys = [dbl(shp, at + 16 * k + 8) for k in range(points)]
        for j in range(parts):
            end = starts[j + 1] if j + 1 < parts else points
            if end - starts[j] < 2:
                out.append("Record %d, part %d: fewer than two points." % (num, j + 1))
                flags.add("missing")
            if rtype in (5, 15) and end > starts[j]:
                if xs[starts[j]] != xs[end - 1] or ys[starts[j]] != ys[end - 1]:
                    out.append("Record %d, part %d: ring not closed." % (num, j + 1))
                    flags.add("closed")
        real = [min(xs), min(ys), max(xs), max(ys)]
        if real != box:
            out.append("Record %d: box %s does not match its points, %s." %
                       (num, " ".join(map(fixed, box)), " ".join(map(fixed, real))))
            flags.add("mismatch")
        join(real)
        return True

    def record(num, pos, index_length):
        """Checks the record at pos; returns the byte after it."""
        st["slots"] += 1
        if be(shp, pos) != num:
            out.append("Record %d: its header gives record number %d." % (num, be(shp, pos)))
        stored = 2 * be(shp, pos + 4)
        rtype = le(shp, pos + 8) if pos + 12 <= len(shp) else None
        need = need_sizes(shp, pos, rtype) if rtype is not None else []
        need_text = " or ".join(map(str, need))
        if stored in need:
            real = stored
        elif index_length is not None and index_length in need:
            real = index_length
        elif index_length is not None:
            real = index_length
        elif need:
            real = need[-1]
        else:
            real = stored
        if need and real not in need and (pos + 8 + real > len(shp) or
                                          (index_length is not None and stored != index_length)):
            # A length the file cannot hold, or two lengths that disagree
            # with each other and with the counts: the counts' length, when
            # it fits.
            fits = [v for v in need if pos + 8 + v <= len(shp)]
            if fits:
                real = fits[-1]
        line = None
        if index_length is not None:
            if need and stored not in need and index_length in need:
                line = ("Record %d: content length %d bytes in the main file; the index and its counts give %d."
                        % (num, stored, index_length))
            elif need and index_length not in need and stored in need:
                line = ("Index entry %d: content length %d bytes; the record and its counts give %d."
                        % (num, index_length, stored))
            elif need and stored not in need and stored == index_length:
                line = ("Record %d: content length %d bytes; its part and point counts need %s."
                        % (num, stored, need_text))
            elif need and stored not in need:
                line = ("Record %d: content length %d bytes in the main file and %d in the index; its counts "
                        "need %s." % (num, stored, index_length, need_text))
            elif not need and stored != index_length:
                line = ("Record %d: content length %d bytes in the main file and %d in the index."
                        % (num, stored, index_length))
        elif need and stored not in need:
            line = "Record %d: content length %d bytes; its part and point counts need %s." % (num, stored, need_text)
        if line:
            out.append(line)
            flags.add("length")
        end = pos + 8 + real
        if end > len(shp) or rtype is None:
            out.append("Record %d is cut: it runs to byte %d, the main file ends at byte %d."
                       % (num, max(end, pos + 12), len(shp)))
            st["unread"] += 1
            return end
        st["seen"] += 1
        if rtype != 0 and rtype != htype:
            if rtype in NAMES:
                out.append("Record %d: shape type %d, the file's type is %d." % (num, rtype, htype))
            else:
                out.append("Record %d: unknown shape type %d." % (num, rtype))
            if st["first_type"] is None:
                st["first_type"] = rtype
        if rtype not in NAMES and rtype != 0:
            st["unread"] += 1
        elif real not in need:
            st["unread"] += 1
        elif not body(num, pos, rtype):
            st["unread"] += 1
        return end

    expected = 100
    for i in range(entries):
        num = i + 1
        off, length = 2 * be(shx, 100 + 8 * i), 2 * be(shx, 104 + 8 * i)
        start = off
        if off + 8 > len(shp):
            out.append("Index entry %d: offset %d lies past the end of the main file (%d bytes)."
                       % (num, off, len(shp)))
        elif off != expected:
            out.append("Index entry %d: offset %d does not point at the next record, which starts at byte %d."
                       % (num, off, expected))
        if off + 8 > len(shp) or off != expected:
            choices = [p for p in (off, expected) if looks_like(p, num, length)]
            if choices:
                start = choices[0]
            elif expected + 8 <= len(shp):
                start = expected
            elif off + 8 <= len(shp):
                start = off
            else:
                start = None
        if start is None:
            st["slots"] += 1
            st["unread"] += 1
            continue
        expected = record(num, start, length)

    num = entries
    pos = expected
    while pos + 8 <= len(shp) and looks_like(pos, num + 1, None):
        num += 1
        out.append("Record %d at byte %d has no index entry." % (num, pos))
        pos = record(num, pos, None)
    if pos < len(shp):
        out.append("Main file: %d bytes after the last record are not a record." % (len(shp) - pos))

    if st["first_type"] is not None:
        out.append("Shape type error. Type was %d. Expected %d." % (st["first_type"], htype))
    out.append("Null shapes: %d (no error)" % st["nulls"])
    for flag, line in (("length", None),
                       ("closed", "Coordinate error. One or more polygons are not closed."),
                       ("x", "Shape bounding box error. One or more shapes have invalid bounding box values. "
                             "x-min > x-max."),
                       ("y", "Shape bounding box error. One or more shapes have invalid bounding box values. "
                             "y-min > y-max."),
                       ("mismatch", "Shape bounding box error. One or more shapes have erroneous bounding boxes."),
                       ("zero", "Shape part error. %d shape(s) have zero parts (empty)." % st["empty"]),
                       ("missing", "Shape coordinate error. One or more shapes are missing coordinates.")):
        if flag == "length":
            if "length" in flags:
                out.append("Shape content length error. One or more shapes have an erroneous content length set.")
        elif flag in flags:
            out.append(line)
    if st["seen"] != n:
        out.append("Shape count error. Actual shapes in file: %d. Header said %d." % (st["seen"], n))
    header = [dbl(shp, 36), dbl(shp, 44), dbl(shp, 52), dbl(shp, 60)]
    box = st["box"] or [0.0, 0.0, 0.0, 0.0]
    names = ["x-min", "y-min", "x-max", "y-max"]
    read = st["slots"] - st["unread"]
    if st["unread"] == 0:
        for k in (0, 2, 1, 3):
            if header[k] != box[k]:
                out.append("File bounding box error. %s is set to %s. Expected %s."
                           % (names[k], fixed(header[k]), fixed(box[k])))
    else:
        # Records that could not be read may lie anywhere inside the header's
        # box: only a box that leaves out a record read is wrong.
        out.append("File bounding box checked against %d of %d records." % (read, st["slots"]))
        if st["box"] is not None:
            for k in (0, 2, 1, 3):
                if (header[k] > box[k]) if k < 2 else (header[k] < box[k]):
                    out.append("File bounding box error. %s is set to %s. Records read reach %s."
                               % (names[k], fixed(header[k]), fixed(box[k])))
    informative = ("Record count: ", "Shape type: ", "Null shapes: ", "File bounding box checked against ")
    if all(l.startswith(informative) for l in out):
        out.append("Kestrow reported no errors.")
    return out


if __name__ == "__main__":
    # Every line ends in a line end but the closing "no errors" one.
    sys.stdout.write("".join(l if l == "Kestrow reported no errors." else l + "\n" for l in check(sys.argv[1])))
