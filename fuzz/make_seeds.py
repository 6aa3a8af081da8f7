#!/usr/bin/env python3
"""Makes the seed corpus of the shape-walk fuzzer from the test fixtures.

Each seed is a little-endian u32 with the .shp size, the .shp bytes, then the
.shx bytes, which is the input layout ShapeWalkFuzz.cpp expects."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
shapes = here.parent / "tests" / "data" / "shapes"
out = here / "corpus" / "shape_walk"
out.mkdir(parents=True, exist_ok=True)
for shp in sorted(shapes.glob("*.shp")):
    shp_bytes = shp.read_bytes()
    shx = shp.with_suffix(".shx")
    shx_bytes = shx.read_bytes() if shx.exists() else b""
    (out / (shp.stem + ".seed")).write_bytes(struct.pack("<I", len(shp_bytes)) + shp_bytes + shx_bytes)
    # The same .shp walked without an index.
    (out / (shp.stem + "-noindex.seed")).write_bytes(struct.pack("<I", len(shp_bytes)) + shp_bytes)
    # Cut in the middle of the last record.
    cut = shp_bytes[: len(shp_bytes) - 9]
    (out / (shp.stem + "-cut.seed")).write_bytes(struct.pack("<I", len(cut)) + cut + shx_bytes)
