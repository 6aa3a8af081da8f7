#!/bin/sh
# Reference eastings and northings for the NZMG and British grid tests
# (tests/crs/GridModulesTest.cpp), made by PROJ's cs2cs (Debian proj-bin):
#
#   sh tools/make_grid_reference.sh
#
# NZMG: geodetic on the International 1924 ellipsoid to +proj=nzmg with the
# grid's origin. BNG: OSGB 36 geodetic (EPSG 4277, no datum shift) to the
# British National Grid (EPSG 27700); the grid letters of the test table are
# written by hand from these eastings and northings.
# Rows: {lat, lon, easting, northing}.
set -eu
export LC_ALL=C

echo "NZMG"
for p in "-41 173" "-36.8485 174.7633" "-45.8788 170.5028" "-43.5321 172.6362" "-34.5 172.7" \
         "-47.9 166.5" "-39.3 177.9" "-41.2865 174.7762" "-46.6 168.3" "-37.8 179.9"; do
    set -- $p
    echo "$2 $1" | cs2cs -f "%.4f" +proj=longlat +ellps=intl +no_defs \
        +to +proj=nzmg +lat_0=-41 +lon_0=173 +x_0=2510000 +y_0=6023150 +ellps=intl +no_defs |
        awk -v la="$1" -v lo="$2" '{ printf "    {%s, %s, %s, %s},\n", la, lo, $1, $2 }'
done

echo "BNG"
for p in "51.5007 -0.1246" "55.9486 -3.1999" "50.0657 -5.7132" "58.6373 -3.0689" "52.4862 -1.8904" \
         "54.9783 -1.6178" "49.9225 -6.2960" "60.8 -0.9" "53.4 -2.9" "57.1497 -2.0943" \
         "49.7751380038 -7.5574891527" "49.7751366736 -7.5575168021"; do
    set -- $p
    echo "$1 $2" | cs2cs -f "%.4f" EPSG:4277 EPSG:27700 |
        awk -v la="$1" -v lo="$2" '{ printf "    {%s, %s, %s, %s},\n", la, lo, $1, $2 }'
done
