#!/bin/sh
# Makes the shape-file trios the export tests start from and compare with,
# with shapelib's own tools, and records what shapelib reads from each beside
# it (shpdump, dbfdump). The tests open the source trios as themes, export
# them, and expect the written .shp and .shx to be byte for byte the ones
# shapelib wrote here, and the written .dbf to hold what the dbfdump of the
# expected table shows. They never run these tools themselves.
#
# Needs the Debian package shapelib. Run from anywhere:  sh make_fixtures.sh
set -eu
cd "$(dirname "$0")"
rm -f ./*.shp ./*.shx ./*.dbf ./*.shpdump.txt ./*.dbfdump.txt

# towns: four points with a text, a whole-number and a decimal column.
make_towns() {
    # $1 the trio's name, then the records to write as "x y name pop area".
    name=$1
    shift
    shpcreate "$name" point
    dbfcreate "$name.dbf" -s NAME 10 -n POP 8 0 -n AREA 10 3
    for record in "$@"; do
        set -- $record
        shpadd "$name" "$1" "$2"
        dbfadd "$name.dbf" "$3" "$4" "$5"
    done
}
alpha="1.5 2.5 Alpha 1200 3.25"
beta="-3 4 Beta 15 0.5"
gamma="10 -20 Gamma 300000 12.125"
delta="7 7 Delta 0 100"
make_towns towns "$alpha" "$beta" "$gamma" "$delta"
# towns with Beta filtered out: what exporting only the visible shapes writes.
make_towns towns_visible "$alpha" "$gamma" "$delta"

# roads: two polylines, the second of two parts.
shpcreate roads arc
shpadd roads 0 0 10 0 10 5
shpadd roads 1 1 2 2 + 5 5 6 7 8 6
dbfcreate roads.dbf -s ROAD 20 -n LANES 2 0
dbfadd roads.dbf "Main Street" 2
dbfadd roads.dbf "Ring" 4

# parcels: a square with a hole and a triangle.
shpcreate parcels polygon
shpadd parcels 0 0 0 10 10 10 10 0 0 0 + 2 2 4 2 4 4 2 4 2 2
shpadd parcels 20 20 25 30 30 20 20 20
dbfcreate parcels.dbf -s OWNER 12 -n VALUE 12 2
dbfadd parcels.dbf "Smith" 1500.75
dbfadd parcels.dbf "" ""

for trio in towns towns_visible roads parcels; do
    shpdump "$trio.shp" > "$trio.shpdump.txt"
    dbfdump -h -r -m "$trio.dbf" > "$trio.dbfdump.txt"
done
