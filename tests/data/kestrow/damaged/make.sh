#!/bin/sh
# The damaged copies the checker's tests read, and the reports they expect.
# Run from the repository root with the North Carolina counties file
# (nc.shp, as published with its .shx beside it):
#     tests/data/kestrow/damaged/make.sh /path/to/nc.shp
# nc6.shp/.shx: its first six counties, written by GDAL's ogr2ogr.
# make_damaged.py: the damaged copies of nc6, one file pair per fault set.
# reference_check.py: a separate reader of both files; its report of each
# pair (after the "File:" line, LF line ends) is <name>.expected.
set -e
here=tests/data/kestrow/damaged
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
ogr2ogr -q -f "ESRI Shapefile" -limit 6 -select NAME "$tmp/nc6.shp" "$1"
cp "$tmp/nc6.shp" "$tmp/nc6.shx" "$here/"
python3 "$here/make_damaged.py"
for shp in "$here"/*.shp; do
    python3 "$here/reference_check.py" "$shp" > "${shp%.shp}.expected"
done
