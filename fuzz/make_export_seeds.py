#!/usr/bin/env python3
"""Makes the seed corpus of the shape-export fuzzer from the test fixtures.

Each seed is a little-endian u16 with the .shp size, the .shp bytes, then the
.dbf bytes, which is the input layout ShapeExportFuzz.cpp expects."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
data = here.parent / "tests" / "data"
out = here / "corpus" / "shape_export"
out.mkdir(parents=True, exist_ok=True)


def seed(name, shp_bytes, dbf_bytes):
    (out / (name + ".seed")).write_bytes(struct.pack("<H", len(shp_bytes)) + shp_bytes + dbf_bytes)


for trio in ("towns", "roads", "parcels"):
    shp = (data / "export" / (trio + ".shp")).read_bytes()
    dbf = (data / "export" / (trio + ".dbf")).read_bytes()
    seed(trio, shp, dbf)
    seed(trio + "-nodbf", shp, b"")
# The shapelib and GDAL tables of the dBase tests beside shapelib's points
# (three records: the tables have three or four rows), with their F, D and L
# fields and missing numbers.
points = (data / "shapes" / "points.shp").read_bytes()
for table in ("typed", "numbers", "strings", "gdal", "extra_header", "empty"):
    seed("points-" + table, points, (data / "dbf" / (table + ".dbf")).read_bytes())
for shape in ("pointsz", "linesz", "polygonsz", "gdal_linez"):
    seed(shape, (data / "shapes" / (shape + ".shp")).read_bytes(), b"")
