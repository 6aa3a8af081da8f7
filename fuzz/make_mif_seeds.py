#!/usr/bin/env python3
"""Makes the seed corpus of the MIF/MID fuzzer: every MIF of tests/data/mif
with its MID after a zero byte, cut short at a few places, and a few small
files with the objects and clauses the reader knows or refuses."""
import pathlib

here = pathlib.Path(__file__).resolve().parent
data = here.parent / "tests" / "data" / "mif"
out = here / "corpus" / "mif"
out.mkdir(parents=True, exist_ok=True)

for mif in sorted(data.glob("*.mif")):
    mid = mif.with_suffix(".mid")
    text = mif.read_bytes()
    table = mid.read_bytes() if mid.exists() else b""
    name = mif.stem
    (out / (name + ".seed")).write_bytes(text + b"\0" + table)
    for k, cut in enumerate((len(text) // 3, len(text) * 2 // 3)):
        (out / ("%s-cut%d.seed" % (name, k))).write_bytes(text[:cut] + b"\0" + table)

head = b'Version 300\nCharset "WindowsLatin1"\nDelimiter ","\nColumns 3\n  a Char(5)\n  b Integer\n  c Decimal(4,1)\nData\n'
for name, body, table in [
    ("objects", b"Point 1 2\n Symbol (1,2,3)\nLine 0 0 1 1\n Pen (1,2,3)\nPline 2\n0 0\n1 1\nSmooth\n"
                b"Pline Multiple 2\n 1\n0 0\n 2\n1 1\n2 2\nRegion 1\n 3\n0 0\n1 0\n0 1\n Pen (2,2,255)\n Brush (1,0)\n"
                b" Center 0 0\nRect 0 0 1 1\nArc 0 0 1 1\n 0 90\nText \"t\"\n 0 0 1 1\n Font (\"a\",0,0,0)\n Angle 5\n",
     b'"ab",1,2.5\n"c""d",2,3\n"e,f",3,4\n"x",4,5\n"y",5,6\n"z",6,7\n"w",7,8\n"v",8,9\n'),
    ("commas", b"Point 1,5 2,5\nLine 0,5 1 2 3,25\n", b'"a",1,1.5\n'),
    ("refused", b"Point 1 1\nEllipse 0 0 1 1\n", b""),
    ("long-values", b"Point 1 1\n", b'"' + b"x" * 300 + b'",123456789012345,-123456.789\n'),
    ("comments", b"' note\n\n   point 3 4\n", b"\n"),
]:
    (out / (name + ".seed")).write_bytes(head + body + b"\0" + table)
