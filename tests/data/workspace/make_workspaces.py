#!/usr/bin/env python3
"""Writes the workspace files (.cvw) of older versions that the workspace
tests read, byte by byte from the layout in Corvale/workspace/WorkspaceFile.h
and Corvale/core/ThemeSerialize.cpp, independently of the program's own
writer. The tests hard-code the values given here.

    python3 tests/data/workspace/make_workspaces.py

The fuzz seeds of the workspace reader are copies of these files
(fuzz/make_workspace_seeds.py)."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent


def u8(v):
    return struct.pack("<B", v)


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def f64(v):
    return struct.pack("<d", v)


def text(s):
    b = s.encode("utf-8")
    if len(b) < 0xFF:
        return u8(len(b)) + b
    if len(b) < 0xFFFE:
        return b"\xff" + struct.pack("<H", len(b)) + b
    return b"\xff\xff\xff" + u32(len(b)) + b


def wide_text(s):
    # The wide-string form: 0xFF, 0xFFFE, then the length in UTF-16 units.
    units = s.encode("utf-16-le")
    return b"\xff\xfe\xff" + u8(len(units) // 2) + units


def point(number, x, y):
    return struct.pack(">II", number, 10) + u32(1) + f64(x) + f64(y)


def polyline(number, points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    body = u32(3) + f64(min(xs)) + f64(min(ys)) + f64(max(xs)) + f64(max(ys))
    body += u32(1) + u32(len(points)) + u32(0)
    for x, y in points:
        body += f64(x) + f64(y)
    return struct.pack(">II", number, len(body) // 2) + body


def table(columns, rows):
    """Native attribute table, version 3: text columns by name."""
    out = u32(3) + u32(len(columns))
    for name in columns:
        out += text(name) + u32(20) + u32(0) + u32(0) + u32(0)
    out += u32(len(columns)) + b"".join(u32(0) for _ in columns)  # no defaults
    out += u32(len(columns)) + b"".join(u32(0) for _ in columns)  # no descriptions
    out += u32(len(rows))
    for row in rows:
        out += u32(1) + u32(len(row))
        for cell in row:
            out += u32(1) + u32(1) + text(cell)
    return out


def native(version, shape_type, records, columns, rows):
    out = u32(version) + u32(shape_type) + u32(len(records))
    for r in records:
        out += u32(len(r)) + r
    return out + table(columns, rows)


def theme(schema, source_type, shape_type, source, name, **k):
    """A theme record of the given schema; k holds the settings to write."""
    out = u32(schema) + u8(k.get("visible", 1)) + u8(k.get("editable", 0))
    out += u32(k.get("color", 0x0000FF)) + u32(shape_type) + u32(source_type) + source
    out += text(name) + u32(k.get("symbol", 2)) + u32(k.get("width", 3))
    out += u8(k.get("tip", 0)) + text(k.get("template", "<NAME>")) + u8(k.get("labels", 0))
    if schema >= 2:
        out += text(k.get("comment", ""))
    if schema >= 3:
        out += u32(k.get("fill", 4))
    if schema >= 4:
        out += u32(k.get("alignment", 8))
    if schema >= 5:
        out += u32(0) + b"".join(f64(v) for v in k.get("bounds", (0.0, 0.0, 0.0, 0.0)))
    if schema >= 6:
        out += u32(k.get("former", 0))
    if schema >= 7:
        out += text("") + f64(0.0)
    if schema >= 8:
        out += u32(k.get("outline", 0x00FF00))
    if schema >= 9:
        out += u32(k.get("pen", 1))
    if schema >= 10:
        face = k.get("face", b"Arial")
        font = struct.pack("<iiiii", -13, 0, 0, 0, 700) + bytes([1, 0, 0, 0, 0, 0, 0, 0x22])
        font += face + b"\0" * (32 - len(face))
        out += u32(k.get("label_color", 0x123456)) + font
    if schema >= 11:
        out += u32(1)  # label frame
    if schema >= 12:
        out += u32(k.get("arrows", 1)) + u32(k.get("arrow_type", 1))
    if schema >= 13:
        out += u32(0)
    if schema >= 14:
        out += u32(k.get("offset_mode", 2)) + u32(k.get("offset", 5))
    if schema >= 15:
        rules = k.get("rules", [])
        out += u32(1) + u32(len(rules))
        for condition, fill in rules:
            # rule record version 1: condition and fill colour only
            out += u32(1) + text(condition) + u32(fill)
    if schema >= 16:
        out += u32(1) + f64(k.get("max_scale", 500.0)) + f64(k.get("min_scale", 2.0))
    if schema >= 17:
        out += u32(0xEEEEEE) + u32(0x111111) + u32(0) + u32(0) + u32(3) + u32(0)
        out += u32(0) + f64(0.0) + u32(0) + f64(0.0) + f64(0.0)
    if schema >= 18:
        out += u32(1)
    if schema >= 20:
        out += u32(12) + u32(k.get("arrow_color", 0x0000AA)) + u32(2) + struct.pack("<f", 0.5)
    if schema >= 21:
        raster_path, points, coefficients = k.get("raster", ("", [], (1.0, 0.0, 0.0, -1.0, 0.0, 0.0)))
        out += u32(2) + text(raster_path) + u32(1) + u32(len(points))
        for column, row, x, y in points:
            out += u32(column) + u32(row) + f64(x) + f64(y)
        out += b"".join(f64(v) for v in coefficients) + u8(k.get("raster_loaded", 1))
    if schema >= 19:
        blocks = k.get("blocks", [])
        for b in blocks:
            out += u32(len(b)) + b
        out += u32(0)
        gpi = k.get("gpi", [])
        out += u32(1) + u32(len(gpi))
        for name_, data in gpi:
            out += u32(1) + text(name_) + u32(len(data)) + data
    return out


def workspace(version, themes, **k):
    out = u32(version)
    if version >= 3:
        out += k.get("description_bytes", text(k.get("description", "")))
    out += u32(0) + u32(k.get("tool", 5)) + u32(len(themes)) + b"".join(themes)
    out += b"".join(f64(v) for v in k.get("extent", (0.0, 0.0, 10.0, 10.0)))
    if version >= 2:
        out += u32(k.get("background", 0x112233))
    if version >= 3:
        out += f64(2.5) + f64(3.5)
    if version >= 4:
        marks = k.get("bookmarks", [])
        out += u32(len(marks))
        for name, upp, x, y in marks:
            out += u32(1) + text(name) + f64(upp) + f64(x) + f64(y)
    if version >= 5:
        out += u32(k.get("open_properties", 1))
    if version >= 7:
        out += u32(8) + u32(1) + u32(k.get("refsys_id", 2)) + u32(12) + f64(6378137.0) + u32(0)
    if version >= 6:
        for b in k.get("blocks", []):
            out += u32(len(b)) + b
        out += u32(0)
        gpi = k.get("gpi", [])
        out += u32(1) + u32(len(gpi))
        for name, data in gpi:
            out += u32(1) + text(name) + u32(len(data)) + data
    return out


MARKS = [("Harbour", 0.5, 1.0, 2.0), ("", 1.0, 3.0, 4.0)]
PLACES = (["NAME"], [["Alpha"], ["Beta"]])

files = {}

# Version 1: no description, colour, grid, bookmarks or flags. One native
# point theme of schema 1 whose table (native data version 1) still holds the
# row of a deleted shape: records 1 and 3, rows for shapes 1, 2 and 3.
files["v1.cvw"] = workspace(1, [
    theme(1, 4, 1, native(1, 1, [point(1, 1.0, 2.0), point(3, 5.0, 6.0)], ["NAME"],
                          [["first"], ["deleted"], ["third"]]), "Old points"),
])

# Version 4: description, colour, grid and bookmarks, no flags. A native
# polyline theme of schema 4 (no bounds, rules or arrows stored).
files["v4.cvw"] = workspace(4, [
    theme(4, 4, 3, native(2, 3, [polyline(1, [(0.0, 0.0), (4.0, 3.0)])], ["ROAD"], [["A1"]]),
          "Roads", alignment=2, comment="four"),
], description="Four", bookmarks=MARKS, tool=9)

# Version 5 ends after the open-properties flag. Schema 12: arrows, no rules.
files["v5.cvw"] = workspace(5, [
    theme(12, 4, 1, native(2, 1, [point(1, 1.0, 1.0), point(2, 2.0, 2.0)], *PLACES), "Places",
          bounds=(1.0, 1.0, 2.0, 2.0), comment="five"),
], description="Five", bookmarks=MARKS[:1], open_properties=1)

# Version 6: flag, a block list and the plug-in section, no reference system
# or radius. Schema 19: rules of record version 1, a block list and plug-in
# data; the description in the wide-string form.
files["v6.cvw"] = workspace(6, [
    theme(19, 4, 1, native(2, 1, [point(1, 7.0, 8.0)], ["NAME"], [["Seven"]]), "Rules",
          rules=[("[NAME] = 'Seven'", 0x00FF00)], blocks=[b"xyz"], gpi=[("{PLUGIN-A}", b"\x01\x02")]),
], description_bytes=wide_text("Sechs \u00e4"), bookmarks=[], open_properties=0,
    blocks=[b"\x00\x01\x02"], gpi=[("{PLUGIN-B}", b"data")])

# Version 7: everything, themes of schema 20 and 21.
files["v7.cvw"] = workspace(7, [
    theme(20, 4, 1, native(2, 1, [point(1, -1.0, -2.0)], ["NAME"], [["South"]]), "Twenty",
          bounds=(-1.0, -2.0, -1.0, -2.0)),
    theme(21, 4, 3, native(2, 3, [polyline(1, [(0.0, 0.0), (1.0, 1.0)])], ["ROAD"], [["B2"]]),
          "Twenty-one", bounds=(0.0, 0.0, 1.0, 1.0), arrow_color=0x0000BB),
], description="Seven", bookmarks=MARKS, open_properties=0, refsys_id=2)

# Version 7 with a theme of every source: a loader theme that stored its own
# block, one that stored its records instead, a shape file that is not there,
# an image theme with its raster part, and a theme of a parent theme.
loader_block = text("C:\\Corvale\\Plugins\\Grindal.ldr") + u32(1) + u32(6) + b"\x01state"
loader_native = text("/opt/corvale/Plugins/Scattern.ldr") + u32(0) + native(
    2, 1, [point(1, 3.0, 4.0)], ["LABEL"], [["from the loader"]])
shape_paths = text("missing/roads.shp") + text("missing/roads.shx") + text("missing/roads.dbf")
files["v7-sources.cvw"] = workspace(7, [
    theme(21, 2, 5, loader_block, "Loader block"),
    theme(21, 2, 1, loader_native, "Loader records", former=2),
    theme(21, 1, 3, shape_paths, "Missing roads", bounds=(0.0, 0.0, 50.0, 40.0)),
    theme(21, 5, 256, b"", "Scan", bounds=(100.0, 200.0, 108.0, 209.0), raster_loaded=0,
          raster=("scans/sheet.png", [(0, 0, 100.0, 209.0), (4, 3, 108.0, 200.0)],
                  (2.0, 0.0, 0.0, -3.0, 100.0, 209.0))),
    theme(21, 3, 1, b"", "Child"),
], description="Sources", bookmarks=[], open_properties=0, refsys_id=0xFFFFFFFF)

# A newer version: refused with string 61470 before anything else is read.
files["v8.cvw"] = u32(8) + b"\x00" * 40

for name, data in files.items():
    (here / name).write_bytes(data)
