#!/bin/sh
# Valid shape files of every type the checker knows, written by GDAL's ogr2ogr
# (Z with and without the M block) and by shapelib's shpcreate/shpadd, for
# tests/kestrow. Run from the repository root.
set -e
out=tests/data/kestrow
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
make() { # name geometry-type wkt...
    name=$1; type=$2; shift 2
    printf 'id,WKT\n' > "$tmp/$name.csv"
    i=1
    for wkt in "$@"; do printf '%s,"%s"\n' "$i" "$wkt" >> "$tmp/$name.csv"; i=$((i + 1)); done
    rm -f "$out/$name".*
    ogr2ogr -q -f "ESRI Shapefile" -nlt "$type" -oo GEOM_POSSIBLE_NAMES=WKT -oo KEEP_GEOM_COLUMNS=NO \
        "$out/$name.shp" "$tmp/$name.csv"
    rm -f "$out/$name.dbf" "$out/$name.prj" "$out/$name.cpg"
}
make point POINT 'POINT (1 2)' 'POINT (-3 5.5)' 'POINT (10 -4)'
make line LINESTRING 'LINESTRING (0 0,1 1,2 0)' 'MULTILINESTRING ((5 5,6 7),(8 8,9 9,10 7))'
make polygon POLYGON 'POLYGON ((0 0,0 4,4 4,4 0,0 0),(1 1,2 1,2 2,1 1))' 'POLYGON ((10 10,10 11,11 11,10 10))'
make pointz POINT25D 'POINT Z (1 2 3)' 'POINT Z (4 5 6)'
make linez LINESTRING25D 'LINESTRING Z (0 0 1,1 1 2,2 0 3)' 'LINESTRING Z (3 3 0,4 5 1)'
make linezm LINESTRINGZM 'LINESTRING ZM (0 0 1 7,1 1 2 8,2 0 3 9)'
make polygonz POLYGON25D 'POLYGON Z ((0 0 1,0 4 1,4 4 2,4 0 2,0 0 1))'
make polygonzm POLYGONZM 'POLYGON ZM ((0 0 1 5,0 4 1 5,4 4 2 5,4 0 2 5,0 0 1 5))'
# shapelib: a polygon file with a null record among its shapes.
rm -f "$out/shapelib_polygon".*
shpcreate "$out/shapelib_polygon" polygon
shpadd "$out/shapelib_polygon" 0 0 0 3 3 3 3 0 0 0
shpadd "$out/shapelib_polygon"
shpadd "$out/shapelib_polygon" 5 5 5 6 6 6 5 5
