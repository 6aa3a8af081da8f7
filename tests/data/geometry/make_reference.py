#!/usr/bin/python3
"""Reference values for the shape measure, predicate and hit-test tests.

Plane values come from shapely (GEOS); ground distances on a sphere from
GeographicLib's GeodSolve with flattening 0, and projected points are
taken to latitude and longitude by GeographicLib's GeoConvert (Debian:
python3-shapely, geographiclib-tools). The tests in tests/core/ShapeMeasuresTest.cpp,
SpatialPredicatesTest.cpp and SelectionHitTestsTest.cpp hard-code the numbers
this prints; run it again only to check them:

    /usr/bin/python3 tests/data/geometry/make_reference.py > tests/data/geometry/reference.txt

Cases where the program answers differently from the peer on purpose are
marked "differs" with the program's answer and the reason; they are listed
together at the end.
"""

import math
import subprocess
import sys

import shapely
import shapely.geos
from shapely.geometry import LineString, MultiLineString, Point, Polygon, box
from shapely.ops import nearest_points

RADIUS = 6361442.043
DIFFERENCES = []


def num(v):
    return repr(float(v))


def pt(p):
    return "(%s, %s)" % (num(p[0]), num(p[1]))


def section(title):
    print()
    print("## " + title)


def differs(case, peer, ours, why):
    DIFFERENCES.append("%s: peer %s, program %s: %s" % (case, peer, ours, why))
    return "  differs: program %s (%s)" % (ours, why)


# Shapes of the cases, as rings or parts of (x, y). Polygons follow the
# shape-file rule: outer rings clockwise, holes counter-clockwise, closed.
SQUARE = [(0, 0), (0, 2), (2, 2), (2, 0), (0, 0)]
DIAMOND = [(0, -2), (-2, 0), (0, 2), (2, 0), (0, -2)]
NOTCH = [(0, 0), (0, 4), (2, 2), (4, 4), (4, 0), (0, 0)]
FRAME_OUTER = [(0, 0), (0, 10), (10, 10), (10, 0), (0, 0)]
FRAME_HOLE = [(3, 3), (7, 3), (7, 7), (3, 7), (3, 3)]
TRIANGLE = [(0, 0), (0, 10), (10, 0), (0, 0)]


def polygon(*rings):
    return Polygon(rings[0], rings[1:])


def point_to_segment():
    section("PointToSegmentDistance: distance, nearest point (shapely distance, nearest_points)")
    cases = [
        ((0, 0), (1, -1), (1, 1)),
        ((0, 0), (2, 0), (3, 0)),
        ((3, 4), (0, 0), (10, 0)),
        ((5, 5), (0, 0), (10, 10)),
        ((-1, 2), (0, 0), (4, 2)),
        ((1.5, -2.25), (-3, 1), (7, -4)),
        ((12, 3), (0, 0), (10, 0)),
        ((-7.5, 0.25), (-2, -2), (-2, 6)),
    ]
    for p, a, b in cases:
        line = LineString([a, b])
        near = nearest_points(line, Point(p))[0]
        print("P %s A %s B %s: %s nearest %s" % (pt(p), pt(a), pt(b), num(line.distance(Point(p))),
                                                 pt((near.x, near.y))))


def nearest_on_shape():
    section("NearestPointOnShape (shapely nearest_points)")
    polyline = MultiLineString([[(0, 0), (4, 0), (4, 4)], [(10, 0), (10, 10)]])
    for p in [(2, 1), (5, 5), (9, 3), (4, -1), (7, 20)]:
        near = nearest_points(polyline, Point(p))[0]
        print("polyline (0,0)-(4,0)-(4,4) | (10,0)-(10,10), P %s: %s" % (pt(p), pt((near.x, near.y))))
    frame = polygon(FRAME_OUTER, FRAME_HOLE)
    for p in [(1, 1), (12, 5), (-3, -4), (5, 12.5), (5, 5)]:
        near = nearest_points(frame, Point(p))[0]
        line = "frame 0..10 with hole 3..7, P %s: %s" % (pt(p), pt((near.x, near.y)))
        if p == (5, 5):
            line += differs("nearest point of a point in a hole", pt((near.x, near.y)), pt(p),
                            "a point in a hole counts as inside its polygon throughout the program")
        print(line)


def measures():
    section("Mid points and positions (shapely interpolate, normalized)")
    parts = [[(0, 0), (4, 0), (4, 2)], [(0, 10), (1, 10)]]
    longest = max(parts, key=lambda part: LineString(part).length)
    mid = LineString(longest).interpolate(0.5, normalized=True)
    print("GetPolylineMidPoint (0,0)-(4,0)-(4,2) | (0,10)-(1,10): %s" % pt((mid.x, mid.y)))
    zigzag = [(0, 0), (3, 4), (3, 10), (-5, 10)]
    line = LineString(zigzag)
    for f in [0.125, 0.25, 0.5, 0.75, 0.9]:
        # The program works with a float fraction.
        position = line.interpolate(float(f), normalized=True)
        print("GetPolylinePositionAtFraction (0,0)-(3,4)-(3,10)-(-5,10), f %s: %s" % (num(f), pt((position.x, position.y))))
    section("GetShapeLength with no reference system (shapely length)")
    print("polyline (0,0)-(3,4)-(3,10)-(-5,10): %s" % num(line.length))
    print("frame 0..10 with hole 3..7: %s" % num(polygon(FRAME_OUTER, FRAME_HOLE).length))


def geod(lat1, lon1, lat2, lon2):
    out = subprocess.run(["GeodSolve", "-e", repr(RADIUS), "0", "-i", "-p", "9"],
                         input="%r %r %r %r\n" % (lat1, lon1, lat2, lon2), capture_output=True, text=True,
                         check=True).stdout.split()
    return float(out[2])


def ground():
    section("Ground distances on a sphere of radius %s (GeodSolve -e %s 0 -i -p 9; lon lat in degrees)"
            % (num(RADIUS), num(RADIUS)))
    pairs = [((0, 0), (1, 0)), ((13.4, 52.5), (2.35, 48.85)), ((-74, 40.7), (151.2, -33.9)),
             ((10, 0), (190, 0)), ((0, 89), (180, 89)), ((-0.5, 0.25), (0.5, -0.25)),
             # Segments of centimetres and decimetres, as a digitised track holds.
             ((10, 50), (10, 50.0000009)), ((10, 50), (10.0000014, 50)), ((-120.5, 35.25), (-120.5000001, 35.2500001))]
    for a, b in pairs:
        print("%s -> %s: %s" % (pt(a), pt(b), num(geod(a[1], a[0], b[1], b[0]))))
    half = geod(0, 0, 0, 180)
    print("half a great circle: %s" % num(half))
    section("Ground distances from UTM zone 33N (GeoConvert -p 9 to latitude and longitude, then GeodSolve)")
    utm = [(500000, 5500000), (600000, 5600000)]
    geo = []
    for e, n in utm:
        out = subprocess.run(["GeoConvert", "-p", "9"], input="33n %r %r\n" % (e, n), capture_output=True,
                             text=True, check=True).stdout.split()
        geo.append((float(out[1]), float(out[0])))
        print("UTM 33N %s: lon lat %s" % (pt((e, n)), pt(geo[-1])))
    print("%s -> %s: %s" % (pt(utm[0]), pt(utm[1]), num(geod(geo[0][1], geo[0][0], geo[1][1], geo[1][0]))))
    section("GroundDistanceAlongEquator: half turns n, distance = GeodSolve(lon1 + 180 n, lon2) + n * half")
    for lon1, lon2 in [(0, 90), (-170, 190), (-180, 400), (30, -20), (-100, 170)]:
        n = 0
        while lon1 + 180 * (n + 1) < lon2:
            n += 1
        d = geod(0, lon1 + 180 * n, 0, lon2) + n * half
        print("lon %s -> %s: n %d, %s" % (num(lon1), num(lon2), n, num(d)))
    section("GetShapeLength in WGS 84 (sum of GeodSolve per segment)")
    track = [(5, 45), (6, 46), (8, 46), (8, 44.5)]
    total = sum(geod(a[1], a[0], b[1], b[0]) for a, b in zip(track, track[1:]))
    print("polyline (5,45)-(6,46)-(8,46)-(8,44.5): %s" % num(total))


def point_in_polygon():
    section("PointInPolygon (shapely intersects: interior and boundary)")
    shapes = {
        "square": polygon(SQUARE),
        "diamond": polygon(DIAMOND),
        "notch": polygon(NOTCH),
        "frame": polygon(FRAME_OUTER, FRAME_HOLE),
    }
    cases = [
        ("square", (1, 1)), ("square", (2, 1)), ("square", (0, 1)), ("square", (2, 2)), ("square", (1, 0)),
        ("square", (1, 2)), ("square", (3, 1)), ("diamond", (0, 0)), ("diamond", (-1, 0)), ("diamond", (1.9, 0)),
        ("diamond", (2.5, 0)), ("notch", (1, 2)), ("notch", (3, 2)), ("notch", (2, 3)), ("notch", (2, 2.5)),
        ("frame", (1, 3)), ("frame", (8, 7)), ("frame", (5, 5)), ("frame", (11, 5)),
    ]
    # Boundary points: the half-open crossing rule keeps the east and south
    # sides, the peer all of the boundary.
    ours_on_boundary = {("square", (2, 1)): True, ("square", (0, 1)): False, ("square", (2, 2)): False,
                        ("square", (1, 0)): True, ("square", (1, 2)): False}
    for name, p in cases:
        geom = shapes[name]
        peer = geom.intersects(Point(p))
        line = "%s %s: %s" % (name, pt(p), peer)
        if (name, p) in ours_on_boundary and ours_on_boundary[(name, p)] != peer:
            line += differs("PointInPolygon %s %s" % (name, pt(p)), peer, ours_on_boundary[(name, p)],
                            "boundary points: the east and south sides are inside, the west and north outside")
        if name == "frame" and p == (5, 5):
            line += differs("PointInPolygon in a hole", peer, True, "a point in a hole counts as inside")
        print(line)


def predicates():
    section("ShapesIntersect (shapely intersects)")
    frame = polygon(FRAME_OUTER, FRAME_HOLE)
    inner = polygon([(1, 1), (1, 2), (2, 2), (2, 1), (1, 1)])
    in_hole = polygon([(4, 4), (4, 5), (5, 5), (5, 4), (4, 4)])
    crossing = polygon([(8, 8), (8, 12), (12, 12), (12, 8), (8, 8)])
    far = polygon([(20, 20), (20, 21), (21, 21), (21, 20), (20, 20)])
    zig = LineString([(0, 0), (4, 4), (8, 0)])
    cases = [
        ("point (1,1) / point (1,1)", Point(1, 1), Point(1, 1)),
        ("point (1,1) / point (1,2)", Point(1, 1), Point(1, 2)),
        ("point on vertex (4,4) / polyline (0,0)-(4,4)-(8,0)", Point(4, 4), zig),
        ("point mid-segment (2,2) / polyline (0,0)-(4,4)-(8,0)", Point(2, 2), zig),
        ("point (2,3) / polyline (0,0)-(4,4)-(8,0)", Point(2, 3), zig),
        ("polyline (0,4)-(8,4) / polyline (0,0)-(4,4)-(8,0)", LineString([(0, 4), (8, 4)]), zig),
        ("polyline (0,5)-(8,5) / polyline (0,0)-(4,4)-(8,0)", LineString([(0, 5), (8, 5)]), zig),
        ("polyline (-1,-1)-(11,11) / frame", LineString([(-1, -1), (11, 11)]), frame),
        ("polyline (1,1)-(2,1) inside / frame", LineString([(1, 1), (2, 1)]), frame),
        ("square 1..2 inside / frame", inner, frame),
        ("frame / square 1..2 inside", frame, inner),
        ("square 8..12 overlapping / frame", crossing, frame),
        ("square 20..21 far / frame", far, frame),
        ("square 4..5 in hole / frame", in_hole, frame),
        ("point (5,5) in hole / frame", Point(5, 5), frame),
    ]
    for name, a, b in cases:
        peer = a.intersects(b)
        line = "%s: %s" % (name, peer)
        if "in hole" in name:
            line += differs("ShapesIntersect " + name, peer, True, "a hole counts as inside its polygon")
        print(line)

    section("ShapeInRectangle with the intersect flag (shapely box.intersects) and without (box.covers)")
    rect = (2, 2, 6, 5)
    r = box(*rect)
    cases = [
        ("polygon 0..10 enclosing", polygon(FRAME_OUTER)),
        ("frame with hole 3..7", frame),
        ("polyline (0,0)-(8,8)", LineString([(0, 0), (8, 8)])),
        ("polyline (3,3)-(5,4) inside", LineString([(3, 3), (5, 4)])),
        ("polyline (2,2)-(6,2) on the border", LineString([(2, 2), (6, 2)])),
        ("polyline (7,0)-(7,9) beside", LineString([(7, 0), (7, 9)])),
        ("triangle 0..10 (corner 2,2 inside)", polygon(TRIANGLE)),
        ("point (6,5)", Point(6, 5)),
    ]
    for name, geom in cases:
        print("rect %s %s: intersect %s, contained %s" % (rect, name, r.intersects(geom), r.covers(geom)))

    section("SegmentMeetsRectangle (shapely box.intersects)")
    rect = (0, 0, 4, 2)
    for seg in [((1, 1), (2, 1)), ((-1, 1), (5, 1)), ((0, 0), (4, 0)), ((5, 0), (5, 2)), ((-1, 3), (1, 1)),
                ((-1, 3), (0.9, -0.9)), ((-2, 3), (-1, -1))]:
        print("rect %s segment %s-%s: %s" % (rect, pt(seg[0]), pt(seg[1]), r_intersects(rect, seg)))


def r_intersects(rect, seg):
    return box(*rect).intersects(LineString(seg))


def hit_tests():
    section("Selection hit tests (shapely: box.intersects, distance <= r)")
    zig = LineString([(0, 0), (4, 4), (8, 0)])
    for rect in [(1, 0, 2, 3), (3.5, 3.5, 5, 5), (4, 4, 6, 6), (5, 0, 6, 1), (1.5, 1.5, 2.5, 2.5), (0, 3, 1, 4)]:
        print("PolylineHitByRectangle zig %s: %s" % (rect, box(*rect).intersects(zig)))
    for centre, radius in [((4, 6), 2.0), ((4, 6), 1.99), ((4, 2), 0.5), ((2, 3), 0.70710678118654757),
                           ((2, 3), 0.7071), ((10, 0), 1.9)]:
        print("PolylineHitByCircle zig centre %s r %s: %s (distance %s)" %
              (pt(centre), num(radius), zig.distance(Point(centre)) <= radius, num(zig.distance(Point(centre)))))
    frame = polygon(FRAME_OUTER, FRAME_HOLE)
    triangle = polygon(TRIANGLE)
    big = polygon([(0, 0), (0, 100), (100, 100), (100, 0), (0, 0)])
    small = polygon([(10, 10), (10, 11), (11, 11), (11, 10), (10, 10)])
    rect_cases = [
        ("big 0..100", big, (40, 40, 41, 41), None),
        ("small 10..11", small, (0, 0, 50, 50), None),
        ("small 10..11", small, (12, 12, 20, 20), None),
        ("triangle (0,0)-(0,10)-(10,0)", triangle, (6, 6, 7, 7),
         "a rectangle inside the box of an oblique edge hits: edges are tested by their boxes"),
        ("triangle (0,0)-(0,10)-(10,0)", triangle, (11, 0, 12, 1), None),
        ("frame with hole", frame, (4, 4, 5, 5), "a hole counts as inside its polygon"),
    ]
    for name, geom, rect, why in rect_cases:
        peer = box(*rect).intersects(geom)
        line = "PolygonHitByRectangle %s rect %s: %s" % (name, rect, peer)
        if why:
            line += differs("PolygonHitByRectangle %s %s" % (name, rect), peer, True, why)
        print(line)
    long_edge = polygon([(0, 0), (0, 1), (100, 1), (100, 0), (0, 0)])
    circle_cases = [
        ("frame with hole", frame, (5, 5), 1.0, "a hole counts as inside its polygon"),
        ("long 0..100 x 0..1", long_edge, (50, 2), 1.5,
         "a circle hits a polygon only through a vertex within the radius or a centre inside"),
        ("long 0..100 x 0..1", long_edge, (50, 0.5), 0.1, None),
        ("long 0..100 x 0..1", long_edge, (103, 4), 4.25, None),
        ("long 0..100 x 0..1", long_edge, (103, 4), 4.24, None),
    ]
    for name, geom, centre, radius, why in circle_cases:
        peer = geom.distance(Point(centre)) <= radius
        line = "PolygonHitByCircle %s centre %s r %s: %s" % (name, pt(centre), num(radius), peer)
        if why:
            line += differs("PolygonHitByCircle %s %s" % (name, pt(centre)), peer, not peer, why)
        print(line)


def main():
    print("# Reference values made by make_reference.py")
    print("# %s; shapely %s, GEOS %s; %s" % (
        sys.version.split()[0], shapely.__version__, shapely.geos.geos_version_string,
        subprocess.run(["GeodSolve", "--version"], capture_output=True, text=True).stdout.strip()))
    point_to_segment()
    nearest_on_shape()
    measures()
    ground()
    point_in_polygon()
    predicates()
    hit_tests()
    section("Where the program differs from the peer on purpose")
    for line in DIFFERENCES:
        print("- " + line)


if __name__ == "__main__":
    main()
