#!/usr/bin/env python3
"""Makes the seed corpus of the checker fuzzer from the checker's fixtures.

Each seed is a little-endian u32 with the .shp size, the .shp bytes, then the
.shx bytes, the input layout KestrowCheckFuzz.cpp expects."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
shapes = here.parent / "tests" / "data" / "kestrow"
out = here / "corpus" / "kestrow_check"
out.mkdir(parents=True, exist_ok=True)
# The damaged copies of a real polygon file add a wrong length, offset, box,
# type or record number each.
for shp in sorted(shapes.glob("*.shp")) + sorted((shapes / "damaged").glob("*.shp")):
    shp_bytes = shp.read_bytes()
    shx_bytes = shp.with_suffix(".shx").read_bytes()
    if shp.parent.name == "damaged":
        (out / ("damaged-" + shp.stem + ".seed")).write_bytes(
            struct.pack("<I", len(shp_bytes)) + shp_bytes + shx_bytes)
        continue
    (out / (shp.stem + ".seed")).write_bytes(struct.pack("<I", len(shp_bytes)) + shp_bytes + shx_bytes)
    # No index.
    (out / (shp.stem + "-noindex.seed")).write_bytes(struct.pack("<I", len(shp_bytes)) + shp_bytes)
    # Cut in the middle of the last record.
    cut = shp_bytes[: len(shp_bytes) - 6]
    (out / (shp.stem + "-cut.seed")).write_bytes(struct.pack("<I", len(cut)) + cut + shx_bytes)
