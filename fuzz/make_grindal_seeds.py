#!/usr/bin/env python3
"""Makes the seed corpus of the MAP object decoder fuzzer: the geometry files
of tests/data/maptab, each with its object index (first byte 1, second the
number of offsets, then the offsets) and without (first byte 0), whole and
cut short."""
import pathlib

here = pathlib.Path(__file__).resolve().parent
data = here.parent / "tests" / "data" / "maptab"
out = here / "corpus" / "grindal"
out.mkdir(parents=True, exist_ok=True)

for name in ("mixed", "near", "deleted"):
    geometry = (data / (name + ".map")).read_bytes()
    index = (data / (name + ".id")).read_bytes()
    seeds = {
        name + "-indexed": bytes([1, len(index) // 4]) + index + geometry,
        name + "-walked": bytes([0, 0]) + geometry,
    }
    for seed, body in seeds.items():
        (out / (seed + ".seed")).write_bytes(body)
        (out / (seed + "-cut.seed")).write_bytes(body[: len(body) * 2 // 3])
