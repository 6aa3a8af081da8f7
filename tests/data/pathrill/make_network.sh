#!/bin/sh
# The small road network the routing plug-in's tests and the sample route
# on: eleven one-way links (two-way roads are two links) between six nodes.
# The cheapest way from node 1 to node 6 is 1-4-5-6 (links 5, 6, 7; cost
# 300); 1-2-3-6 costs 350 and 1-2-5-6 500.
set -e
cd "$(dirname "$0")"
ogr2ogr -f "ESRI Shapefile" -overwrite links.shp links.csv -oo GEOM_POSSIBLE_NAMES=WKT -oo KEEP_GEOM_COLUMNS=NO \
    -oo AUTODETECT_TYPE=YES -nlt LINESTRING -nln links
ogr2ogr -f "ESRI Shapefile" -overwrite nodes.shp nodes.csv -oo GEOM_POSSIBLE_NAMES=WKT -oo KEEP_GEOM_COLUMNS=NO \
    -oo AUTODETECT_TYPE=YES -nlt POINT -nln nodes
# The same links with heights (z = x / 10 + y / 10 at every vertex).
python3 make_links_z.py
ogr2ogr -f "ESRI Shapefile" -overwrite links_z.shp links_z.csv -oo GEOM_POSSIBLE_NAMES=WKT -oo KEEP_GEOM_COLUMNS=NO \
    -oo AUTODETECT_TYPE=YES -nlt LINESTRING25D -nln links_z
