#!/bin/sh
# Reference rows for the MGRS and USNG tests (tests/crs/MgrsUsngTest.cpp),
# made by GeographicLib's GeoConvert (Debian geographiclib-tools):
#
#   sh tools/make_mgrs_reference.sh
#
# For every point and every precision 0..5 one C++ initialiser:
#   {lat, lon, precision, "MGRS", "USNG", zone, 'h', E, N, cornerLat, cornerLon,
#    usngCornerLat, usngCornerLon}
# MGRS: GeoConvert -m of the point. USNG: GeoConvert -m of the point's UTM
# or UPS coordinates rounded to the precision (half to even, as printf
# does). Zone 0 for UPS; E, N, cornerLat and cornerLon are the south-west
# corner of the MGRS square (GeoConvert -n), the last two that of the USNG
# square.
set -eu
export LC_ALL=C

row() {
    lat=$1
    lon=$2
    utm=$(echo "$lat $lon" | GeoConvert -u -p 6)
    for prec in 0 1 2 3 4 5; do
        p=$((prec - 5))
        mgrs=$(echo "$lat $lon" | GeoConvert -m -p $p)
        div=$(awk -v p=$prec 'BEGIN { printf "%d", 10 ^ (5 - p) }')
        rounded=$(echo "$utm" | awk -v d=$div '{ printf "%s %.0f %.0f", $1, sprintf("%.0f", $2 / d) * d, sprintf("%.0f", $3 / d) * d }')
        usng=$(echo "$rounded" | GeoConvert -m -p $p)
        corner=$(echo "$mgrs" | GeoConvert -n -u -p 4)
        cornerGeo=$(echo "$mgrs" | GeoConvert -n -g -p 10)
        usngGeo=$(echo "$usng" | GeoConvert -n -g -p 10)
        echo "$lat $lon $prec $mgrs $usng $corner $cornerGeo $usngGeo" | awk '{
            z = $6; h = toupper(substr(z, length(z), 1)); n = substr(z, 1, length(z) - 1)
            if (n == "") n = 0
            printf "    {%s, %s, %s, \"%s\", \"%s\", %d, '\''%s'\'', %s, %s, %s, %s, %s, %s},\n",
                   $1, $2, $3, $4, $5, n, h, $7, $8, $9, $10, $11, $12 }'
    done
}

# Ordinary zones of all three column sets and both row offsets, both
# hemispheres, Norway's zone 32, Svalbard, the band X, the equator and 180
# degrees; then both polar caps with all four polar letters.
row 51.4779 -0.0015
row 38.8895 -77.0353
row -33.8568 151.2153
row -23.5505 -46.6333
row 35.6586 139.7454
row 60.3913 5.3221
row 78.2232 15.6267
row 76.5 40.5
row 72.5 9.1
row 79.5 32.8
row 0.0001 0.0001
row -1.5 6.0001
row 64.1355 -21.8954
row -54.8019 -68.3030
row 1.2921 103.7764
row 0.3 179.7
row -77.8419 166.6863
row 86.1 120.3
row 88.5 -50.2
row -85.3 15.1
row -87.2 -110.6
