#!/usr/bin/env python3
"""Makes the seed corpus of the grid-string fuzzer: strings of the grid
module tests (MGRS, USNG, UPS squares, British grid, GARS, GEOREF) and a few
damaged the way typed input can be."""
import pathlib

here = pathlib.Path(__file__).resolve().parent
out = here / "corpus" / "grid_strings"
out.mkdir(parents=True, exist_ok=True)

seeds = {
    "mgrs-5": "30UYC0821307235",
    "mgrs-2": "18SUJ2306",
    "mgrs-0": "33XWG",
    "mgrs-svalbard": "37XEE3991",
    "mgrs-south": "56HLH35",
    "ups-north": "  ZFK7398218537",
    "ups-south": "BBT3600704066",
    "ups-y": "YZG1234",
    "ups-a": "AJA",
    "lower-case": "31nea12",
    "wrong-band": "30TYC0821307235",
    "zone-32x": "32XMA",
    "odd-digits": "31NEA123",
    "long-digits": "31NEA123456789012",
    "three-digit-zone": "123NEA",
    "trailing": "31NEA12 34",
    "bng": "TQ3015779695",
    "bng-blank": "SV 0000000000",
    "bng-edge": "JM9999999999",
    "gars-7": "361HN37",
    "gars-5": "001AA",
    "gars-pole": "720QZ2",
    "gars-bad-band": "000AA",
    "georef-14": "NGAA0000000000",
    "georef-8": "GJPJ3417",
    "georef-edge": "ZMQQ6060",
    "georef-10": "gjpj341172",
}
for name, text in seeds.items():
    (out / (name + ".seed")).write_text(text)
