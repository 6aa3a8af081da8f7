#!/usr/bin/python3
"""Mid points of polylines taken from a peer engine, for the Mid Points tests.

The mid point of a polyline is the point halfway along its longest part (the
first of equally long parts). shapely (GEOS) gives it as
LineString(longest part).interpolate(0.5, normalized=True). Run from this
folder:

    /usr/bin/python3 make_mid_points.py

It writes peer_mid_points.inc, rows of C++ initializers that
tests/workspace/DocDerivedGeometryCommandsTest.cpp includes: a name, the
parts of the polyline and the peer's mid point. Polylines of no length have
no mid point in the program, so they are not rows here; the test lists them
by hand.
"""

import os
import random

import shapely
import shapely.geos
from shapely.geometry import LineString

HERE = os.path.dirname(os.path.abspath(__file__))
PEER = "shapely %s, GEOS %s" % (shapely.__version__, shapely.geos.geos_version_string)

HAND = [
    ("one segment", [[(0, 0), (10, 0)]]),
    ("bent line", [[(0, 0), (3, 4), (3, 10)]]),
    ("mid point on a vertex", [[(0, 0), (5, 0), (5, 5)]]),
    ("second part longest", [[(0, 0), (1, 0)], [(10, 10), (10, 20), (30, 20)]]),
    ("equal parts take the first", [[(0, 0), (4, 0)], [(0, 10), (0, 14)]]),
    ("repeated vertices", [[(0, 0), (0, 0), (2, 0), (2, 0), (2, 2)]]),
    ("closed ring", [[(0, 0), (4, 0), (4, 4), (0, 4), (0, 0)]]),
    ("large coordinates", [[(512345.25, 6712345.5), (512399.75, 6712401.125), (512500.0, 6712350.0)]]),
    ("negative coordinates", [[(-10.5, -3.25), (-2.0, 7.75), (1.5, -1.0)]]),
    ("zero-length part beside a line", [[(7, 7), (7, 7)], [(0, 0), (0, 6)]]),
]


def random_cases(count):
    rng = random.Random(20261211)
    cases = []
    for n in range(count):
        parts = []
        for _ in range(rng.randint(1, 3)):
            points = [(round(rng.uniform(-1000, 1000), 3), round(rng.uniform(-1000, 1000), 3))
                      for _ in range(rng.randint(2, 7))]
            parts.append(points)
        cases.append(("random %d" % n, parts))
    return cases


def mid_point(parts):
    lengths = [LineString(p).length for p in parts]
    longest = max(range(len(parts)), key=lambda j: (lengths[j], -j))
    return LineString(parts[longest]).interpolate(0.5, normalized=True)


def number(v):
    return repr(float(v))


def main():
    rows = []
    for name, parts in HAND + random_cases(24):
        mid = mid_point(parts)
        text_parts = ", ".join(
            "{" + ", ".join("{%s, %s}" % (number(x), number(y)) for x, y in part) + "}" for part in parts)
        rows.append('{"%s", {%s}, %s, %s},' % (name, text_parts, number(mid.x), number(mid.y)))
    with open(os.path.join(HERE, "peer_mid_points.inc"), "w") as out:
        out.write("// Made by make_mid_points.py from %s; do not edit.\n" % PEER)
        out.write("// name, parts of the polyline, mid point of the longest part.\n")
        for row in rows:
            out.write(row + "\n")


if __name__ == "__main__":
    main()
