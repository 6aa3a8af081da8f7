#!/usr/bin/env python3
"""Writes the seed corpus of the database plug-in's WKT reader
(fuzz/corpus/sorvend_wkt): each form it reads, the forms it refuses, and
texts cut short. Run from the repository root: python3 fuzz/make_sorvend_seeds.py
"""
import os

SEEDS = {
    "point": "POINT (1 2)",
    "point-lower": "point(\t-1.5e3\n2 )",
    "two-points": "POINT (1 2) POINT (3 4)",
    "linestring": "LINESTRING (0 0, 1 1, 2 0)",
    "polygon-hole": "POLYGON ((0 0, 0 10, 10 10, 10 0, 0 0), (2 2, 4 2, 4 4, 2 2))",
    "multilinestring": "MULTILINESTRING ((0 0, 1 1), (2 2, 3 3, 4 4))",
    "multipolygon": "MULTIPOLYGON (((0 0,0 1,1 1,0 0)),((5 5,5 6,6 6,6 5,5 5),(1 1,1 2,2 2,1 1)))",
    "multipoint": "MULTIPOINT (1 2, 3 4)",
    "point-z": "POINT Z (1 2 3)",
    "empty": "LINESTRING EMPTY",
    "collection": "GEOMETRYCOLLECTION (POINT (1 2))",
    "short-ring": "POLYGON ((0 0, 1 1, 0 0))",
}

def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "sorvend_wkt")
    os.makedirs(folder, exist_ok=True)
    for name, text in SEEDS.items():
        for suffix, body in (("", text), ("-cut", text[: len(text) * 2 // 3])):
            with open(os.path.join(folder, name + suffix + ".seed"), "w", newline="") as out:
                out.write(body)

if __name__ == "__main__":
    main()
