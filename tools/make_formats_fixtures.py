#!/usr/bin/python3
"""Makes the fixtures of tests/formats: small shape files (shapelib's shpcreate,
shpadd, dbfcreate, dbfadd) and the texts the program must write for them.

Run with Debian's python3 (shapely), GDAL (ogr2ogr, ogrinfo), shapelib and
xmllint installed:  /usr/bin/python3 tools/make_formats_fixtures.py

Every expected text is checked here against the peers before it is written:
- WKT: shapely parses it and it equals GDAL's reading of the shape file;
- GeoJSON: it is valid JSON, ogrinfo opens it, and each geometry equals GDAL's;
- GPX and XML: xmllint accepts them, and GDAL's GPX driver reads back the
  same waypoints and track points;
- shapely's own WKT and WKB of each shape are stored for the parser tests.
Numbers have 6 decimals (the default DataViewPrecision)."""

import json
import pathlib
import subprocess
import tempfile

from shapely import wkb as shapely_wkb
from shapely import wkt as shapely_wkt
from shapely.geometry import LineString, MultiLineString, MultiPolygon, Point, Polygon, shape

OUT = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data" / "formats"
PRECISION = 6


def sq(x0, y0, x1, y1, clockwise):
    """A closed square ring, clockwise (outer ring in a shape file) or not."""
    ring = [(x0, y0), (x0, y1), (x1, y1), (x1, y0), (x0, y0)]
    return ring if clockwise else list(reversed(ring))


def with_z(ring, z0):
    return [(x, y, z0 + i) for i, (x, y) in enumerate(ring)]


# theme -> (shpcreate kind, z, records); a record is (parts, name, code).
THEMES = {
    "points": ("point", False, [
        ([[(1.5, -2.0)]], 'Harbour "North"', 12),
        ([[(100.25, 45.125)]], "R&D <1>", 7),
        ([[(-179.5, 89.9)]], "tab\there", 0),
    ]),
    "pointsz": ("point", True, [
        ([[(1.0, 2.0, 3.0)]], "a", 1),
        ([[(-4.5, 6.25, 7.75)]], "b", 2),
    ]),
    "lines": ("arc", False, [
        ([[(0.0, 0.0), (2.5, 1.0), (3.0, 4.0)]], "one part", 1),
        ([[(0.0, 0.0), (1.0, 1.0)], [(2.0, 2.0), (3.0, 3.0), (4.0, 1.0)]], "two parts", 2),
    ]),
    "linesz": ("arc", True, [
        ([[(0.0, 0.0, 1.0), (1.0, 1.0, 2.0), (2.0, 0.0, 3.0)]], "one part", 1),
        ([[(5.0, 5.0, 0.0), (6.0, 6.0, 1.0)], [(7.0, 7.0, 2.0), (8.0, 8.0, 3.0)]], "two parts", 2),
    ]),
    "polygons": ("polygon", False, [
        ([sq(0, 0, 10, 10, True)], "square", 1),
        ([sq(0, 0, 10, 10, True), sq(2, 2, 4, 4, False)], "one hole", 2),
        # Two islands, each with a hole; the holes stand away from their
        # outer rings in the record.
        ([sq(0, 0, 10, 10, True), sq(22, 22, 24, 24, False), sq(20, 20, 30, 30, True),
          sq(6, 6, 8, 8, False)], "islands", 3),
        # Drawn the other way round: still one polygon.
        ([sq(40, 40, 50, 50, False)], "counter-clockwise", 4),
    ]),
    "polygonsz": ("polygon", True, [
        ([with_z(sq(0, 0, 10, 10, True), 1.0), with_z(sq(2, 2, 4, 4, False), 10.0)], "one hole", 1),
    ]),
}


def run(*args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs).stdout


def num(value):
    return "%.*f" % (PRECISION, value)


def signed_area(ring):
    return sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(ring, ring[1:] + ring[:1])) / 2.0


def group_rings(rings):
    """Outer rings (clockwise) with the holes inside them, in record order."""
    outers = [j for j, r in enumerate(rings) if signed_area(r) <= 0]
    groups = {j: [j] for j in outers}
    for j, ring in enumerate(rings):
        if j in groups:
            continue
        containing = [k for k in outers if Polygon(rings[k]).contains(Point(ring[0][:2]))
                      or Polygon(rings[k]).contains(LineString(ring))]
        if containing:
            best = min(containing, key=lambda k: abs(signed_area(rings[k])))
            groups[best].append(j)
        else:
            groups[j] = [j]
    return [groups[k] for k in sorted(groups)]


def wkt_point(p, z):
    return " ".join(num(c) for c in (p if z else p[:2]))


def wkt_list(points, z):
    return "(" + ", ".join(wkt_point(p, z) for p in points) + ")"


def our_wkt(kind, z, parts):
    kw = (lambda word: word + " Z ") if z else (lambda word: word)
    if kind == "point":
        return kw("POINT") + wkt_list(parts[0], z)
    if kind == "arc":
        if len(parts) == 1:
            return kw("LINESTRING") + wkt_list(parts[0], z)
        return kw("MULTILINESTRING") + "(" + ", ".join(wkt_list(p, z) for p in parts) + ")"
    groups = group_rings(parts)
    polys = ["(" + ", ".join(wkt_list(parts[j], z) for j in g) + ")" for g in groups]
    if len(polys) == 1:
        return kw("POLYGON") + polys[0]
    return kw("MULTIPOLYGON") + "(" + ", ".join(polys) + ")"


def json_string(text):
    out = []
    for c in text:
        if c == '"':
            out.append('\\"')
        elif c == "\\":
            out.append("\\\\")
        elif c == "\t":
            out.append("\\t")
        elif c == "\n":
            out.append("\\n")
        elif c == "\r":
            out.append("\\r")
        elif ord(c) < 0x20:
            out.append("\\u%04x" % ord(c))
        else:
            out.append(c)
    return "".join(out)


def geojson_position(p, z):
    return "[" + ", ".join(num(c) for c in (p if z else p[:2])) + "]"


def geojson_part(points, z):
    return "[ " + ", ".join(geojson_position(p, z) for p in points) + " ]"


def geojson_parts(parts, z):
    return "[ " + ",\r\n".join(geojson_part(p, z) for p in parts) + " ]"


def our_geojson_geometry(kind, z, parts):
    if kind == "point":
        return '{ "type": "Point", "coordinates": ' + geojson_position(parts[0][0], z) + "}"
    if kind == "arc":
        if len(parts) == 1:
            return '{ "type": "LineString", "coordinates": ' + geojson_part(parts[0], z) + "}"
        return '{ "type": "MultiLineString", "coordinates": ' + geojson_parts(parts, z) + "}"
    groups = group_rings(parts)
    if len(groups) == 1:
        return '{ "type": "Polygon", "coordinates": ' + geojson_parts([parts[j] for j in groups[0]], z) + "}"
    return ('{ "type": "MultiPolygon", "coordinates": [ '
            + ",\r\n".join(geojson_parts([parts[j] for j in g], z) for g in groups) + " ]}")


def shapely_geometry(kind, parts):
    if kind == "point":
        return Point(parts[0][0])
    if kind == "arc":
        return LineString(parts[0]) if len(parts) == 1 else MultiLineString(parts)
    groups = group_rings(parts)
    polys = [Polygon(parts[g[0]], [parts[j] for j in g[1:]]) for g in groups]
    return polys[0] if len(polys) == 1 else MultiPolygon(polys)


def code_text(code):
    # dBase numeric field N 6 0 as the theme's attribute access gives it.
    return str(code)


def make_shape_file(name, kind, z, records):
    base = OUT / name
    for ext in (".shp", ".shx", ".dbf"):
        base.with_suffix(ext).unlink(missing_ok=True)
    run("shpcreate", str(base), kind + ("z" if z else ""))
    for parts, _, _ in records:
        args = ["shpadd", str(base)] + (["-z"] if z else [])
        for k, part in enumerate(parts):
            if k > 0:
                args.append("+")
            for p in part:
                args += [repr(float(c)) for c in (p if z else p[:2])]
        run(*args)
    run("dbfcreate", str(base), "-s", "NAME", "24", "-n", "CODE", "6", "0")
    for _, label, code in records:
        run("dbfadd", str(base), label, str(code))


def gdal_geometries(name):
    text = run("ogr2ogr", "-f", "GeoJSON", "/vsistdout/", str(OUT / (name + ".shp")))
    return [shape(f["geometry"]) for f in json.loads(text)["features"]]


def same_coordinates(a, b):
    """Coordinates with Z, compared part by part after the topology check."""
    def flat(g):
        if hasattr(g, "geoms"):
            return [c for part in g.geoms for c in flat(part)]
        if isinstance(g, Polygon):
            return [c for ring in [g.exterior] + list(g.interiors) for c in ring.coords]
        return list(g.coords)
    return sorted(flat(a)) == sorted(flat(b))


def check_wkt(name, texts):
    for text, gdal in zip(texts, gdal_geometries(name)):
        parsed = shapely_wkt.loads(text)
        assert parsed.equals(gdal), (name, text, gdal.wkt)
        assert same_coordinates(parsed, gdal), (name, text)


def gdal_properties(name):
    text = run("ogr2ogr", "-f", "GeoJSON", "/vsistdout/", str(OUT / (name + ".shp")))
    return [f["properties"] for f in json.loads(text)["features"]]


def check_geojson(name, document):
    path = OUT / (name + ".geojson")
    parsed = json.loads(document)
    for feature, gdal in zip(parsed["features"], gdal_geometries(name)):
        geometry = shape(feature["geometry"])
        assert geometry.equals(gdal), (name, feature["geometry"], gdal.wkt)
        assert same_coordinates(geometry, gdal), name
    # The properties are those GDAL reads from the table, types included.
    for feature, properties in zip(parsed["features"], gdal_properties(name)):
        assert feature["properties"] == properties, (name, feature["properties"], properties)
    path.write_bytes(document.encode("utf-8"))
    summary = run("ogrinfo", "-ro", "-so", "-al", str(path))
    assert "Feature Count: %d" % len(parsed["features"]) in summary, summary


def xml_escape(text):
    out = text.replace("&", "&amp;").replace('"', "&quot;").replace("'", "&apos;")
    out = out.replace(">", "&gt;").replace("<", "&lt;")
    return out.replace("\t", "&#9;").replace("\n", "&#10;").replace("\r", "&#13;")


def gpx_document(name, kind, records):
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<gpx version="1.1" creator="Corvale - https://corvale.org" '
             'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"',
             ' xmlns="http://www.topografix.com/GPX/1/1"',
             ' xsi:schemaLocation="http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd">',
             "\t<metadata>", "\t\t<name>" + xml_escape(name) + "</name>", "\t</metadata>"]
    if kind == "point":
        for parts, _, _ in records:
            p = parts[0][0]
            lines.append('\t<wpt lat="%s" lon="%s" />' % (num(p[1]), num(p[0])))
    elif kind == "arc":
        lines.append("\t<trk>")
        for parts, _, _ in records:
            for part in parts:
                lines.append("\t\t<trkseg>")
                lines += ['\t\t\t<trkpt lat="%s" lon="%s" />' % (num(p[1]), num(p[0])) for p in part]
                lines.append("\t\t</trkseg>")
        lines.append("\t</trk>")
    lines.append("</gpx>")
    return "".join(line + "\r\n" for line in lines)


def check_gpx(path, kind, records):
    run("xmllint", "--noout", str(path))
    if kind == "point":
        text = run("ogr2ogr", "-f", "GeoJSON", "/vsistdout/", str(path), "waypoints")
        got = [tuple(f["geometry"]["coordinates"]) for f in json.loads(text)["features"]]
        want = [tuple(float(num(c)) for c in parts[0][0][:2]) for parts, _, _ in records]
        assert got == want, (got, want)
    elif kind == "arc":
        text = run("ogr2ogr", "-f", "GeoJSON", "/vsistdout/", str(path), "tracks")
        features = json.loads(text)["features"]
        assert len(features) == 1, "one track"
        got = [[tuple(p) for p in seg] for seg in features[0]["geometry"]["coordinates"]]
        want = [[tuple(float(num(c)) for c in p[:2]) for p in part] for parts, _, _ in records for part in parts]
        assert got == want, (got, want)


def xml_document(name, kind, z, records, colour):
    type_word = {("point", False): "PointShape", ("point", True): "PointZShape",
                 ("arc", False): "ArcShape", ("arc", True): "PolylineZShape",
                 ("polygon", False): "PolygonShape", ("polygon", True): "PolygonZShape"}[(kind, z)]
    element = {"point": "PointShape", "arc": "ArcShape", "polygon": "PolygonShape"}[kind]
    lines = ["<xml>", "\t<Theme ThemeName='%s' ShapeType='%s' Color='#%s'>" % (xml_escape(name), type_word, colour)]
    for index, (parts, label, code) in enumerate(records, 1):
        lines.append("\t\t<%s index='%d' CODE='%s' NAME='%s'>" % (element, index, code_text(code), xml_escape(label)))
        point = "<Point longitude='%s' latitude='%s'/>"
        if kind == "polygon":
            for part in parts:
                lines.append("\t\t\t<Ring>")
                lines += ["\t\t\t\t" + point % (num(p[0]), num(p[1])) for p in part]
                lines.append("\t\t\t</Ring>")
        else:
            lines += ["\t\t\t" + point % (num(p[0]), num(p[1])) for part in parts for p in part]
        lines.append("\t\t</%s>" % element)
    lines += ["\t</Theme>", "</xml>"]
    return "".join(line + "\r\n" for line in lines)


def tsv_cell(text):
    if any(c in text for c in '\t\r\n"'):
        return '"' + text.replace('"', '""') + '"'
    return text


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for name, (kind, z, records) in THEMES.items():
        make_shape_file(name, kind, z, records)
        texts = [our_wkt(kind, z, parts) for parts, _, _ in records]
        check_wkt(name, texts)
        (OUT / (name + ".wkt")).write_text("".join(t + "\n" for t in texts))

        features = []
        for parts, label, code in records:
            # The numeric column is a JSON number.
            properties = '{ "NAME": "%s", "CODE": %s}' % (json_string(label), code_text(code))
            features.append('{"type": "Feature",\r\n"geometry": ' + our_geojson_geometry(kind, z, parts)
                            + ',\r\n"properties": ' + properties + "\r\n}")
        document = '{ "type": "FeatureCollection",\r\n"features": [\r\n' + ",\r\n".join(features) + "\r\n]\r\n}\r\n"
        check_geojson(name, document)

        # shapely's own texts of the same shapes, one per line, for the parser.
        geometries = [shapely_geometry(kind, parts) for parts, _, _ in records]
        (OUT / (name + ".shapely.wkt")).write_text("".join(g.wkt + "\n" for g in geometries))
        if not z:
            # The WKB reader takes points, line strings and multi-polygons.
            def as_wkb(g):
                if isinstance(g, Polygon):
                    g = MultiPolygon([g])
                return shapely_wkb.dumps(g, hex=True, big_endian=False)
            wkbs = [as_wkb(g) for g in geometries if not isinstance(g, MultiLineString)]
            (OUT / (name + ".shapely.wkb")).write_text("".join(w + "\n" for w in wkbs))

        if kind in ("point", "arc") and not (kind == "point" and z):
            gpx = OUT / (name + ".gpx")
            gpx.write_bytes(gpx_document(name, kind, records).encode("utf-8"))
            check_gpx(gpx, kind, records)
        if kind == "polygon" and not z:
            (OUT / (name + ".gpx")).write_bytes(gpx_document(name, kind, records).encode("utf-8"))
            run("xmllint", "--noout", str(OUT / (name + ".gpx")))

        if not z:
            xml = OUT / (name + ".xml")
            xml.write_bytes(xml_document(name, kind, z, records, "ff0010").encode("utf-8"))
            run("xmllint", "--noout", str(xml))

    # The table of the points, columns chosen as CODE, NAME, plus a name
    # that matches no column, which is left out.
    records = THEMES["points"][2]
    rows = ["CODE\tNAME"] + ["%s\t%s" % (tsv_cell(code_text(c)), tsv_cell(label)) for _, label, c in records]
    (OUT / "points.tsv").write_bytes("".join(r + "\r\n" for r in rows).encode("utf-8"))
    print("fixtures written to", OUT)


if __name__ == "__main__":
    main()
