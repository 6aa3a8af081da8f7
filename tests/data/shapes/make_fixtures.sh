#!/usr/bin/env bash
# Makes the small shape files the tests read, with shapelib's own tools, and
# records shpdump's view of each beside it. The tests hard-code the coordinates
# given here; shapelib is only needed to remake the files, never to run tests.
#   apt-get install shapelib
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.shp ./*.shx ./*.dump.txt

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

for f in points lines polygons pointsz linesz polygonsz multipoint; do
    shpdump "$f.shp" > "$f.dump.txt"
done
