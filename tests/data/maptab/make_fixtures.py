#!/usr/bin/env python3
"""Makes the MAP/TAB fixtures of the Grindal loader tests with GDAL's
ogr2ogr (-f "MapInfo File") from the CSV sources beside this script, and the
expected values with ogrinfo -al. Then, by hand, a copy with a deleted object.

    python3 make_fixtures.py      (GDAL 3.6.2 made the committed files)

mixed:    points, 2-point lines, polylines of one and of many sections (compressed
          and 32-bit), regions with holes (compressed and 32-bit), long
          polylines whose coordinates run over several coordinate blocks, a
          row without geometry; Char(2), Char(4), Char(8), Integer, Float and
          Decimal columns.
near:     objects close together, which GDAL writes with compressed
          coordinates: points and a 2-point line.
deleted:  mixed with the deleted bit set on the object of row 2 (by hand).
"""
import math
import pathlib
import shutil
import struct
import subprocess

here = pathlib.Path(__file__).resolve().parent


def pts(c):
    return ", ".join("%r %r" % (x, y) for x, y in c)


def wiggle(x0, y0, dx, amp, n):
    return [(round(x0 + i * dx, 6), round(y0 + amp * math.sin(i / 3.0), 6)) for i in range(n)]


mixed = [
    ("POINT (10.75 59.91)", "Harbour", "NO", "QUAY", "ABCDEFGH", 70000, 2.5, "12.25"),
    ("POINT (-2.25 51.5)", "Mill", "GB", "MILL", "12345678", -3, -0.125, "-1.5"),
    ("LINESTRING (%s)" % pts([(2.35, 48.85), (2.36, 48.86)]), "Short road", "FR", "ROAD", "shortrd", 1, 1.0, "0"),
    ("LINESTRING (%s)" % pts([(-3.7, 40.4), (2.17, 41.38), (4.83, 45.76)]), "Long road", "ES", "ROAD", "longroad", 2, 2.0, "1"),
    ("LINESTRING (%s)" % pts([(12.49, 41.89), (12.495, 41.895), (12.5, 41.89)]), "Bend", "IT", "PATH", "bend", 3, 3.0, "2"),
    ("MULTILINESTRING ((%s), (%s))" % (pts([(13.4, 52.5), (13.41, 52.51)]), pts([(13.42, 52.52), (13.43, 52.53), (13.44, 52.52)])),
     "Two paths", "DE", "PATH", "multi", 4, 4.0, "3"),
    ("MULTILINESTRING ((%s), (%s))" % (pts([(14.0, 50.0), (21.0, 52.2)]), pts([(19.9, 50.0), (18.6, 54.3), (17.0, 51.1)])),
     "Wide lines", "PL", "PATH", "multiwid", 5, 5.0, "4"),
    ("POLYGON ((%s), (%s))" % (pts([(16.30, 48.20), (16.32, 48.20), (16.32, 48.22), (16.30, 48.22), (16.30, 48.20)]),
                               pts([(16.305, 48.205), (16.31, 48.205), (16.31, 48.21), (16.305, 48.205)])),
     "Park", "AT", "AREA", "park", 6, 6.0, "5"),
    ("POLYGON ((%s), (%s), (%s))" % (pts([(22.0, 60.0), (30.0, 60.0), (30.0, 65.0), (22.0, 65.0), (22.0, 60.0)]),
                                     pts([(24.0, 61.0), (26.0, 61.0), (25.0, 62.0), (24.0, 61.0)]),
                                     pts([(27.0, 63.0), (29.0, 63.0), (28.0, 64.0), (27.0, 63.0)])),
     "Lake land", "FI", "AREA", "lakeland", 8, 8.0, "6"),
    ("", "No shape", "XX", "NONE", "none", 9, 9.0, "7"),
    ("LINESTRING (%s)" % pts(wiggle(5.0, 45.0, 0.1, 1.0, 150)), "Long wiggle", "CH", "PATH", "wiggle32", 10, 10.0, "8"),
    ("LINESTRING (%s)" % pts(wiggle(6.0, 46.0, 0.0001, 0.001, 150)), "Small wiggle", "CH", "PATH", "wiggle16", 11, 11.0, "9"),
]
near = [
    ("POINT (7.001 45.002)", "North", "N1", "POST", "n"),
    ("POINT (7.003 45.001)", "South", "S2", "POST", "s"),
    ("LINESTRING (7.0005 45.0005, 7.0025 45.0015)", "Link", "L3", "LINE", "l"),
]


def write_csv(name, header, types, rows):
    lines = [header] + [",".join('"%s"' % v if isinstance(v, str) else repr(v) for v in row) for row in rows]
    (here / (name + ".csv")).write_text("\n".join(lines) + "\n")
    (here / (name + ".csvt")).write_text(types + "\n")


def ogr(name):
    for ext in ("tab", "map", "id", "dat"):
        (here / ("%s.%s" % (name, ext))).unlink(missing_ok=True)
    subprocess.run(["ogr2ogr", "-f", "MapInfo File", "%s.tab" % name, "%s.csv" % name,
                    "-oo", "GEOM_POSSIBLE_NAMES=WKT", "-oo", "KEEP_GEOM_COLUMNS=NO", "-a_srs", "EPSG:4326"],
                   cwd=here, check=True)
    info = subprocess.run(["ogrinfo", "-ro", "-al", "%s.tab" % name], cwd=here, check=True,
                          capture_output=True, text=True).stdout
    (here / ("%s.ogrinfo.txt" % name)).write_text(info)


write_csv("mixed", "WKT,name,code,kind,tag,count,value,dec",
          "String,String(20),String(2),String(4),String(8),Integer,Real,Real(10.2)", mixed)
write_csv("near", "WKT,name,code,kind,tag", "String,String(10),String(2),String(4),String(8)", near)
ogr("mixed")
ogr("near")

# deleted: the object of row 2 marked deleted in the geometry file.
for ext in ("tab", "map", "id", "dat"):
    shutil.copy(here / ("mixed." + ext), here / ("deleted." + ext))
index = (here / "deleted.id").read_bytes()
offset = struct.unpack_from("<I", index, 4)[0]
data = bytearray((here / "deleted.map").read_bytes())
row_id = struct.unpack_from("<I", data, offset + 1)[0]
assert row_id == 2
struct.pack_into("<I", data, offset + 1, row_id | 0x40000000)
(here / "deleted.map").write_bytes(bytes(data))
