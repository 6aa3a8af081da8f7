#!/bin/sh
# Reference rows for the UTM and UPS grid tests (tests/crs/UtmUpsTest.cpp),
# made by GeographicLib's GeoConvert (Debian geographiclib-tools):
#
#   sh tools/make_utm_ups_reference.sh
#
# Prints one C++ initialiser a line: {lat, lon, zone, 'hemisphere', E, N},
# zone 0 for UPS. A point given with a zone is converted in that zone (-z),
# which lets the table reach the edges of the UTM and UPS latitude bands.
set -eu
export LC_ALL=C

row() {
    # row LAT LON [ZONE]  (ZONE: a UTM zone such as 19s, or 0 for UPS)
    if [ $# -ge 3 ]; then
        out=$(echo "$1 $2" | GeoConvert -u -p 4 -z "$3")
    else
        out=$(echo "$1 $2" | GeoConvert -u -p 4)
    fi
    echo "$1 $2 $out" | awk '{
        z = $3; h = toupper(substr(z, length(z), 1)); n = substr(z, 1, length(z) - 1)
        if (n == "") n = 0
        printf "    {%s, %s, %d, '\''%s'\'', %s, %s},\n", $1, $2, n, h, $4, $5 }'
}

# UTM: ordinary zones, both hemispheres, the Norway and Svalbard zones,
# 180 degrees from both sides and the ends of the band.
row 0 0
row 0.5 3
row -33.8 151.2
row 51.5 -0.12
row 45 -93.7
row -12.3 45.6
row 60 5
row 56 3
row 63.9 11.9
row 64 4
row 75 10
row 72 8.9
row 72 20.9
row 72 32.9
row 72 41.9
row 72 42.1
row 0 180
row 0 -180
row -0.0001 -179.9
row -80.5 -70 19s
row 84.5 20 33n
row -79.9 100.5
row 83.9 -33.2
# UPS: both caps, next to the band edges 83.5 and -79.5, the poles.
row 83.6 0 0
row 88 -45 0
row 86 135 0
row 90 0 0
row -79.6 10 0
row -85 120 0
row -88.8 -60 0
row -90 0 0
