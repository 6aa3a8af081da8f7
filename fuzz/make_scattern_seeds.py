#!/usr/bin/env python3
"""Makes the seed corpus of the delimited-text point fuzzer: four definition
bytes (names flag, separator, X column, Y column) before each text file of
tests/data/text, whole and cut short, a few small texts with the cases the
reader handles, and saved definitions."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
data = here.parent / "tests" / "data" / "text"
out = here / "corpus" / "scattern"
out.mkdir(parents=True, exist_ok=True)

files = {
    "stations": (b"\x01\t\x02\x03", (data / "stations.txt").read_bytes()),
    "decimal": (b"\x00;\x02\x03", (data / "decimal.txt").read_bytes()),
    "lead-separator": (b"\x00;\x02\x01", b";1;2\n;;3\n;4;5;6;7\r\n"),
    "crlf-header-only": (b"\x01,\x01\x02", b"x,y\r\n"),
    "numbers": (b"\x00 \x01\x02", b"+1.5 -2e3\ninf 1\nnan 2\n1e400 3\n 4x 5y\n0x10 1\n"),
    "empty-first": (b"\x00;\x01\x02", b"\n1;2\n"),
    "column-zero": (b"\x00;\x00\x02", b"1;2\n"),
}
for name, (definition, text) in files.items():
    (out / (name + ".seed")).write_bytes(definition + text)
    if len(text) > 8:
        (out / (name + "-cut.seed")).write_bytes(definition + text[: len(text) // 2])

for name, flag, sep, x, y, path in [
    ("saved", 1, b";", 3, 4, b"/data/points.txt\0"),
    ("saved-unterminated", 0, b"\t", 1, 2, b"/data/points.txt"),
    ("saved-flag-two", 2, b",", 2, 1, b"p.txt\0trailing"),
]:
    (out / (name + ".seed")).write_bytes(struct.pack("<IBcII", 1, flag, sep, x, y) + path)
