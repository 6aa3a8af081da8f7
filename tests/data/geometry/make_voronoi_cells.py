#!/usr/bin/python3
"""Reference Voronoi cells for tests/geometry/VoronoiTest.cpp, from GEOS.

Each point set is given to shapely's voronoi_diagram (GEOS) with the box as
its envelope; every cell is cut to the box and matched to the site it holds.
A row gives the site, the area of its cell and the cell's centroid. Run from
this folder:

    /usr/bin/python3 make_voronoi_cells.py

It writes peer_voronoi_cells.inc (rows of C++ initializers).
"""

import os
import random

import shapely
import shapely.geos
from shapely.geometry import MultiPoint, Point, box
from shapely.ops import voronoi_diagram

HERE = os.path.dirname(os.path.abspath(__file__))
PEER = "shapely %s, GEOS %s" % (shapely.__version__, shapely.geos.geos_version_string)


def point_sets():
    rng = random.Random(20261211)
    yield "uniform40", (0.0, 0.0, 100.0, 100.0), [
        (rng.uniform(0, 100), rng.uniform(0, 100)) for _ in range(40)]
    # Clustered sites in a box much larger than they are.
    pts = []
    for cx, cy in ((10.0, 10.0), (60.0, 20.0), (30.0, 70.0)):
        pts += [(rng.gauss(cx, 3.0), rng.gauss(cy, 3.0)) for _ in range(25)]
    yield "clusters75", (-50.0, -40.0, 150.0, 130.0), pts
    # A lattice: four sites on every circle, vertices met by four edges.
    yield "lattice5x5", (-1.0, -1.0, 5.0, 5.0), [
        (float(i), float(j)) for i in range(5) for j in range(5)]
    # Coordinates as large as projected ones (UTM northings).
    yield "utm30", (499000.0, 5199000.0, 503000.0, 5203000.0), [
        (500000.0 + rng.uniform(0, 2000), 5200000.0 + rng.uniform(0, 2000)) for _ in range(30)]
    # Sites on one slanted line, and two rows of equal y.
    yield "slanted8", (0.0, 0.0, 20.0, 20.0), [
        (1.0 + 2.0 * i, 2.0 + 1.5 * i) for i in range(8)]
    yield "tworows10", (0.0, 0.0, 12.0, 6.0), [
        (float(1 + i), 2.0) for i in range(5)] + [(float(1 + i) + 0.5, 4.0) for i in range(5)]


def cells(bounds, pts):
    frame = box(*bounds)
    diagram = voronoi_diagram(MultiPoint(pts), envelope=frame)
    rows = []
    for x, y in pts:
        site = Point(x, y)
        cell = None
        for poly in diagram.geoms:
            if poly.intersects(site):
                clipped = poly.intersection(frame)
                # A site on a cell border touches two cells: take the one
                # whose interior holds it, else the nearer centroid.
                if poly.contains(site) or cell is None:
                    cell = clipped
        rows.append((x, y, cell.area, cell.centroid.x, cell.centroid.y))
    return rows


def main():
    out = []
    out.append("// Made by make_voronoi_cells.py with %s; do not edit." % PEER)
    out.append("// {set, minX, minY, maxX, maxY}")
    sets = list(point_sets())
    out.append("#ifdef VORONOI_PEER_BOXES")
    for name, bounds, _ in sets:
        out.append('{"%s", %r, %r, %r, %r},' % ((name,) + tuple(bounds)))
    out.append("#else")
    out.append("// {set, x, y, cell area, centroid x, centroid y}")
    for name, bounds, pts in sets:
        for row in cells(bounds, pts):
            out.append('{"%s", %r, %r, %r, %r, %r},' % ((name,) + row))
    out.append("#endif")
    with open(os.path.join(HERE, "peer_voronoi_cells.inc"), "w") as f:
        f.write("\n".join(out) + "\n")
    print("wrote peer_voronoi_cells.inc with", PEER)


if __name__ == "__main__":
    main()
