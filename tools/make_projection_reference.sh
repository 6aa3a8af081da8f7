#!/bin/sh
# Reference values for the projection-module tests, made by PROJ's `proj`
# (Debian proj-bin) and GeographicLib's GeodSolve (geographiclib-tools).
# The tests read the file this prints:
#
#   sh tools/make_projection_reference.sh > tests/data/crs/projections.txt
#
# Format: "@ name" opens a case (the test knows its module and parameters),
# "$ command" is the command that made it, then one "lon lat E N" row per
# point (degrees, metres). The spherical modules work on the sphere of
# radius Ra = a(1 - e2/6 - 17e4/360 - 67e6/3024), passed to PROJ as +R.
set -eu
export LC_ALL=C

ra() {
    # ra A RF: the sphere radius of the ellipsoid a = A, 1/f = RF.
    awk -v a="$1" -v rf="$2" 'BEGIN {
        f = 1 / rf; e2 = 2 * f - f * f
        printf "%.6f", a * (1 - e2 / 6 - 17 * e2 * e2 / 360 - 67 * e2 * e2 * e2 / 3024) }'
}
RA_WGS84=$(ra 6378137 298.257223563)
RA_INTL=$(ra 6378388 297)

# Longitude offsets from the central meridian and latitudes, degrees.
WORLD_DL="-179 -120 -45 0 30 90 150 178.5"
WORLD_LAT="-89 -60 -30 0 15 45 75 89"

grid() {
    # grid CM "DLS" "LATS": lon lat rows, lon = CM + dl, brought above -180
    # (the modules take longitudes from -180 to 360).
    for dl in $2; do
        for lat in $3; do
            awk -v c="$1" -v d="$dl" -v p="$lat" 'BEGIN { l = c + d; if (l < -180) l += 360; printf "%.6f %s\n", l, p }'
        done
    done
}

case_() {
    # case_ NAME CM "DLS" "LATS" PROJ-ARGS...
    name=$1 cm=$2 dls=$3 lats=$4
    shift 4
    echo "@ $name"
    echo "\$ proj -f %.6f $*"
    grid "$cm" "$dls" "$lats" > /tmp/projref.$$
    proj -f %.6f "$@" /tmp/projref.$$ | paste /tmp/projref.$$ - | tr '\t' ' '
    rm -f /tmp/projref.$$
    echo
}

case_ sinusoidal-wgs84 0 "$WORLD_DL" "$WORLD_LAT" +proj=sinu +lon_0=0 +ellps=WGS84
case_ sinusoidal-bessel 20 "$WORLD_DL" "$WORLD_LAT" +proj=sinu +lon_0=20 +x_0=500000 +y_0=-100000 +ellps=bessel
case_ miller-wgs84 -30 "$WORLD_DL" "$WORLD_LAT" +proj=mill +R=$RA_WGS84 +lon_0=-30 +x_0=1000 +y_0=2000
case_ mollweide-wgs84 10 "$WORLD_DL" "$WORLD_LAT" +proj=moll +R=$RA_WGS84 +lon_0=10
case_ mollweide-intl 0 "$WORLD_DL" "-89.9 -45 0 60 89.9" +proj=moll +R=$RA_INTL +lon_0=0 +x_0=-300 +y_0=400
case_ eckert4-wgs84 0 "$WORLD_DL" "$WORLD_LAT" +proj=eck4 +R=$RA_WGS84 +lon_0=0
case_ eckert6-wgs84 -60 "$WORLD_DL" "$WORLD_LAT" +proj=eck6 +R=$RA_WGS84 +lon_0=-60 +x_0=5000
case_ eqc-wgs84 15 "$WORLD_DL" "$WORLD_LAT" +proj=eqc +lat_ts=30 +R=$RA_WGS84 +lon_0=15 +x_0=100 +y_0=-200
case_ cea-wgs84 -15 "$WORLD_DL" "$WORLD_LAT" +proj=cea +lat_ts=30 +lon_0=-15 +ellps=WGS84
case_ cea-intl 100 "$WORLD_DL" "-80 -20 0 40 85" +proj=cea +lat_ts=-45 +lon_0=100 +x_0=20 +y_0=30 +ellps=intl
case_ cassini-wgs84 10 "-4 -2 0 1.5 4" "-80 -40 0 20 40 60 85" +proj=cass +lat_0=40 +lon_0=10 +x_0=100000 +y_0=200000 +ellps=WGS84
case_ cassini-clarke 70 "-3 0 3" "10 35 55" +proj=cass +lat_0=0 +lon_0=70 +ellps=clrk66

CONE_DL="-100 -30 0 45 120"
CONE_LAT="-10 20 45 70 85"
SOUTH_LAT="-85 -70 -45 -20 10"
case_ lcc1-wgs84 -96 "$CONE_DL" "$CONE_LAT" +proj=lcc +lat_1=40 +lat_0=40 +k_0=0.9996 +lon_0=-96 +x_0=1000 +y_0=2000 +ellps=WGS84
case_ lcc1-south 30 "$CONE_DL" "$SOUTH_LAT" +proj=lcc +lat_1=-25 +lat_0=-25 +k_0=1.1 +lon_0=30 +ellps=intl
case_ lcc2-wgs84 -96 "$CONE_DL" "$CONE_LAT" +proj=lcc +lat_0=23 +lat_1=29.5 +lat_2=45.5 +lon_0=-96 +x_0=500 +y_0=-700 +ellps=WGS84
case_ lcc2-south 150 "$CONE_DL" "$SOUTH_LAT" +proj=lcc +lat_0=-40 +lat_1=-30 +lat_2=-50 +lon_0=150 +ellps=bessel
# Ney's: Lambert with the second parallel at 89 degrees 59 minutes 59 seconds.
case_ neys-north 0 "$CONE_DL" "60 70 80 85 89" +proj=lcc +lat_0=80 +lat_1=71 "+lat_2=89d59'59\"" +lon_0=0 +x_0=100 +y_0=200 +ellps=WGS84
case_ neys-south 60 "$CONE_DL" "-89 -85 -80 -70 -60" +proj=lcc +lat_0=-80 +lat_1=-74 "+lat_2=-89d59'59\"" +lon_0=60 +ellps=WGS84
case_ albers-wgs84 -96 "$CONE_DL" "-10 20 45 70 89" +proj=aea +lat_0=23 +lat_1=29.5 +lat_2=45.5 +lon_0=-96 +x_0=50 +y_0=60 +ellps=WGS84
case_ albers-south 135 "$CONE_DL" "$SOUTH_LAT" +proj=aea +lat_0=0 +lat_1=-18 +lat_2=-36 +lon_0=135 +ellps=GRS80
case_ albers-one 10 "$CONE_DL" "$CONE_LAT" +proj=aea +lat_0=50 +lat_1=50 +lat_2=50 +lon_0=10 +ellps=WGS84
case_ polyconic-wgs84 -54 "-60 -20 0 10 45" "-60 -20 0 30 75" +proj=poly +lat_0=0 +lon_0=-54 +x_0=5000000 +y_0=10000000 +ellps=WGS84
case_ polyconic-bessel 20 "-30 -5 0 15" "-40 -1 10 50 85" +proj=poly +lat_0=30 +lon_0=20 +ellps=bessel
case_ bonne-wgs84 0 "-150 -60 0 30 120" "-60 -20 10 45 80" +proj=bonne +lat_1=45 +lon_0=0 +x_0=10 +y_0=20 +ellps=WGS84
case_ bonne-south -60 "-150 -60 0 30 120" "-80 -30 0 20 60" +proj=bonne +lat_1=-30 +lon_0=-60 +ellps=intl

case_ omerc-wgs84 0 "-30 -10 0 5 20" "30 40 45 55 70" +proj=omerc +lat_0=45 +lat_1=40 +lon_1=-5 +lat_2=50 +lon_2=5 +k_0=1 +ellps=WGS84
case_ omerc-south 140 "-30 -10 0 5 20" "-60 -45 -30 -10 0" +proj=omerc +lat_0=-30 +lat_1=-20 +lon_1=130 +lat_2=-40 +lon_2=150 +k_0=0.9996 +x_0=1000 +y_0=2000 +ellps=intl
case_ vandg-wgs84 0 "$WORLD_DL" "-80 -60 -30 0 15 45 75 80" +proj=vandg +R=$RA_WGS84 +lon_0=0
case_ vandg-shifted -100 "-150 -60 0 30 120" "-85 -20 10 50 88" +proj=vandg +R=$RA_INTL +lon_0=-100 +x_0=300 +y_0=-400

case_ polar-north -45 "-180 -90 -30 0 45 135" "0 30 60 80 89.5" +proj=stere +lat_0=90 +lat_ts=70 +lon_0=-45 +x_0=100 +y_0=-200 +ellps=WGS84
case_ polar-south 20 "-180 -90 -30 0 45 135" "0 -30 -60 -80 -89.5" +proj=stere +lat_0=-90 +lat_ts=-71 +lon_0=20 +x_0=2000000 +y_0=2000000 +ellps=intl
case_ polar-pole-scale 0 "-90 0 60 150" "10 50 85" +proj=stere +lat_0=90 +lat_ts=90 +lon_0=0 +ellps=WGS84
case_ stereo-oblique 10 "$WORLD_DL" "-60 -30 0 15 45 75" +proj=stere +lat_0=40 +lon_0=10 +x_0=300 +y_0=400 +R=$RA_WGS84
case_ stereo-equator -60 "-120 -45 0 30 90 150" "-75 -30 0 15 45 75" +proj=stere +lat_0=0 +lon_0=-60 +R=$RA_WGS84
case_ stereo-south 0 "-150 -45 0 30 90" "-89 -60 -10 30 60" +proj=stere +lat_0=-90 +lon_0=0 +R=$RA_WGS84
case_ ortho-oblique 10 "-60 -20 0 30 60" "10 30 50 70 85" +proj=ortho +lat_0=45 +lon_0=10 +x_0=500000 +R=$RA_WGS84
case_ ortho-north 0 "-150 -45 0 30 90" "5 30 60 89" +proj=ortho +lat_0=90 +lon_0=0 +R=$RA_WGS84
case_ gnomonic-oblique -100 "-40 -20 0 10 30" "10 30 45 60 80" +proj=gnom +lat_0=45 +lon_0=-100 +x_0=10 +y_0=20 +R=$RA_WGS84
case_ gnomonic-equator 0 "-60 -20 0 10 45" "-50 -20 0 10 60" +proj=gnom +lat_0=0 +lon_0=0 +R=$RA_WGS84
case_ gnomonic-south 30 "-150 -45 0 30 90" "-89 -70 -40 -20" +proj=gnom +lat_0=-90 +lon_0=30 +R=$RA_WGS84
case_ aeqd-oblique 10 "$WORLD_DL" "-60 -30 0 15 45 75" +proj=aeqd +lat_0=40 +lon_0=10 +x_0=300 +y_0=400 +R=$RA_WGS84
case_ aeqd-equator -60 "-120 -45 0 30 90 150" "-75 -30 0 15 45 75" +proj=aeqd +lat_0=0 +lon_0=-60 +R=$RA_WGS84
case_ aeqd-north 0 "-150 -45 0 30 90" "-80 -30 0 60 89" +proj=aeqd +lat_0=90 +lon_0=0 +R=$RA_WGS84
case_ aeqd-south 0 "-150 -45 0 30 90" "-89 -60 0 30 80" +proj=aeqd +lat_0=-90 +lon_0=0 +R=$RA_WGS84

# The transverse cylindrical equal-area projection has no ellipsoidal form in
# PROJ. Along its central meridian it is the meridian arc from the origin
# times the scale factor: GeodSolve's distance from (lat0, 0) to (lat, 0).
echo "@ meridian-arc-wgs84"
echo "\$ GeodSolve -i -p 4 (input: 30 0 lat 0)"
for lat in -89 -60 -10 0 30 45 75 89; do
    # GeodSolve's distance is unsigned: south of the origin it is negative.
    printf "0 %s 0 %s\n" "$lat" "$(echo "30 0 $lat 0" | GeodSolve -i -p 4 | awk -v p="$lat" '{ printf "%.4f", (p < 30 ? -$3 : $3) }')"
done
echo
