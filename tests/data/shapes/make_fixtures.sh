#!/usr/bin/env bash
# Makes the small shape files the tests read, with shapelib's own tools and
# GDAL's ogr2ogr, and records shpdump's and ogrinfo's view of each beside it.
# The tests hard-code the coordinates given here; the tools are only needed to
# remake the files, never to run tests.
#   apt-get install shapelib gdal-bin
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.shp ./*.shx ./*.dbf ./*.prj ./*.cpg ./*.dump.txt ./*.ogrinfo.txt

shpcreate points point
shpadd points 1.5 2.5
shpadd points -3 4
shpadd points 10 -20

shpcreate lines arc
shpadd lines 0 0 10 0 10 5
shpadd lines 1 1 2 2 + 5 5 6 7 8 6

shpcreate polygons polygon
shpadd polygons 0 0 0 10 10 10 10 0 0 0 + 2 2 4 2 4 4 2 4 2 2
shpadd polygons 20 20 25 30 30 20 20 20

shpcreate pointsz pointz
shpadd pointsz -zm 1 2 3 4
shpadd pointsz -zm -5 6 -7 8

shpcreate linesz arcz
shpadd linesz -zm 0 0 100 0.5 1 1 110 1.5 + 2 2 90 2.5 3 5 120 3.5

shpcreate polygonsz polygonz
shpadd polygonsz -zm 0 0 5 1 0 4 6 2 4 4 7 3 0 0 5 4

shpcreate multipoint multipoint
shpadd multipoint 1 1 2 2

# GDAL writes its Z records without the optional M block: the record ends
# after the Z values and its content length says so.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/pointz.csv" <<'CSV'
WKT,name
"POINT Z (1 2 3)",a
"POINT Z (-5.5 6.25 -7)",b
CSV
cat > "$work/linez.csv" <<'CSV'
WKT,name
"LINESTRING Z (0 0 100,10 0 110,10 5 120)",a
"MULTILINESTRING Z ((1 1 1,2 2 2),(5 5 -5,6 7 -6,8 6 -8))",b
CSV
cat > "$work/polygonz.csv" <<'CSV'
WKT,name
"POLYGON Z ((0 0 5,0 10 6,10 10 7,10 0 8,0 0 5),(2 2 1,4 2 1,4 4 2,2 4 2,2 2 1))",a
CSV
for f in pointz:POINT25D linez:MULTILINESTRING25D polygonz:POLYGON25D; do
    ogr2ogr -f "ESRI Shapefile" "gdal_${f%%:*}.shp" "$work/${f%%:*}.csv" -oo GEOM_POSSIBLE_NAMES=WKT \
        -oo KEEP_GEOM_COLUMNS=NO -nlt "${f#*:}"
    rm -f "gdal_${f%%:*}.dbf" "gdal_${f%%:*}.prj" "gdal_${f%%:*}.cpg"
done

# A file with bytes after its last record and no .shx: the header's file
# length still ends at the last record.
cp points.shp trailing.shp
printf 'trailing bytes, not a record' >> trailing.shp

for f in points lines polygons pointsz linesz polygonsz multipoint gdal_pointz gdal_linez gdal_polygonz; do
    shpdump "$f.shp" > "$f.dump.txt"
done
for f in pointsz linesz polygonsz gdal_pointz gdal_linez gdal_polygonz; do
    ogrinfo -ro -al -q "$f.shp" > "$f.ogrinfo.txt"
done
