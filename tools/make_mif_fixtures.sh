#!/bin/sh
# Makes the MIF/MID fixtures of tests/data/mif with GDAL's ogr2ogr from the
# GeoJSON beside them, and records what ogrinfo -al reads from each, which the
# tests take as the expected values. Run from the top of the tree:
#   sh tools/make_mif_fixtures.sh
# Needs gdal-bin (ogr2ogr, ogrinfo). The style column sets each feature's pen
# (OGR_STYLE), which the MIF driver writes as the object's Pen clause.
set -eu
dir=tests/data/mif
cd "$dir"
rm -f mixed.mif mixed.mid comma.mif comma.mid
ogr2ogr -f 'MapInfo File' -dsco FORMAT=MIF mixed.mif mixed.geojson \
    -dialect sqlite -sql "SELECT name, n, v, style AS OGR_STYLE, geometry FROM mixed"
ogrinfo -al -q mixed.mif | grep -v '^ *\(AXIS\|ORDER\|ANGLEUNIT\|ID\|LENGTHUNIT\|UNIT\|ELLIPSOID\|DATUM\|GEOGCRS\|CS\[\|PRIMEM\|BBOX\|AREA\|USAGE\|SCOPE\)' > mixed.ogrinfo.txt

# The same file with decimal commas in every coordinate, as some locales
# write them; the table (delimiter ",") is left as it is.
sed -e '/^-\{0,1\}[0-9.]* -\{0,1\}[0-9.]*$/s/\./,/g' \
    -e '/^Point /s/\./,/g' mixed.mif > comma.mif
cp mixed.mid comma.mid

# Four points, the second without geometry, which the MIF driver writes as a
# NONE object that still has its row in the table.
rm -f nogeom.mif nogeom.mid
ogr2ogr -f 'MapInfo File' -dsco FORMAT=MIF nogeom.mif nogeom.geojson
ogrinfo -al -q nogeom.mif | grep -v '^ *\(AXIS\|ORDER\|ANGLEUNIT\|ID\|LENGTHUNIT\|UNIT\|ELLIPSOID\|DATUM\|GEOGCRS\|CS\[\|PRIMEM\|BBOX\|AREA\|USAGE\|SCOPE\)' > nogeom.ogrinfo.txt

# Brindow's files for the fixture themes of tests/plugins/BrindowTest.cpp are
# written by that test itself (CORVALE_REFRESH_BRINDOW_FIXTURES=1 in its
# environment); what ogrinfo reads from them is recorded beside them.
for name in brindow_points brindow_lines brindow_areas; do
    if [ -f "$name.mif" ]; then
        ogrinfo -al -q "$name.mif" 2>&1 | grep -v '^ *\(AXIS\|ORDER\)'
    fi
done > brindow.ogrinfo.txt
