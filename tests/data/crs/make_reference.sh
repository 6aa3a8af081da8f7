#!/bin/sh
# Reference values for the coordinate-engine tests, made by PROJ (cs2cs, cct)
# and GeographicLib (GeoConvert, CartConvert, TransverseMercatorProj) from
# Debian's proj-bin and geographiclib-tools. The tests hard-code the numbers
# this prints; run it again only to check them:
#
#   sh tests/data/crs/make_reference.sh > tests/data/crs/reference.txt
#
# Every projection is written out as a PROJ string with the same parameters
# and ellipsoid as the program's table row, not taken from PROJ's EPSG
# database, so the values test the program's rows as they are.
set -eu
export LC_ALL=C

WGS84="+proj=longlat +datum=WGS84 +no_defs"
run() {
    # run TITLE COMMAND...: the command on stdin, under a header naming it.
    title=$1
    shift
    echo "## $title"
    echo "\$ $*"
    "$@"
    echo
}

# Latitude longitude pairs, degrees.
UTM33N="0 15
0.5 9.2
10 20.5
45 12
55.7 13.2
59.33 18.06
60 9
60 21
68 20
78 16"
UTM33S="-0.5 15
-10 12
-33.9 18.4
-45 20.9
-60 10
-79 14"
SWEDEN="59.3293 18.0686
67.8558 20.2253
55.605 13.0038
57.7089 11.9746
62.3908 17.3069
58.9394 11.1712
63.8258 20.263"

swap() { awk '{ print $2, $1, ($3 == "" ? 0 : $3) }'; }

echo "$UTM33N" | swap | run "UTM 33N, cs2cs: lon lat -> E N" \
    cs2cs -f %.4f $WGS84 +to +proj=tmerc +lat_0=0 +lon_0=15 +k=0.9996 +x_0=500000 +y_0=0 +ellps=WGS84 +towgs84=0,0,0
echo "$UTM33N" | run "UTM 33N, GeoConvert: lat lon -> zone E N (points inside the UTM range only)" \
    GeoConvert -u -z 33n -p 4 || true
echo "$UTM33S" | swap | run "UTM 33S, cs2cs: lon lat -> E N" \
    cs2cs -f %.4f $WGS84 +to +proj=tmerc +lat_0=0 +lon_0=15 +k=0.9996 +x_0=500000 +y_0=10000000 +ellps=WGS84 +towgs84=0,0,0
echo "$UTM33S" | run "UTM 33S, GeoConvert: lat lon -> zone E N" \
    GeoConvert -u -z 33s -p 4 || true

echo "$SWEDEN" | swap | run "SWEREF99 TM (WGS 84 ellipsoid), cs2cs: lon lat -> E N" \
    cs2cs -f %.4f $WGS84 +to +proj=tmerc +lat_0=0 +lon_0=15 +k=0.9996 +x_0=500000 +y_0=0 +ellps=WGS84 +towgs84=0,0,0
echo "$SWEDEN" | run "SWEREF99 TM, GeographicLib TransverseMercatorProj: lat lon -> x y (add 500000 to x)" \
    TransverseMercatorProj -k 0.9996 -l 15 -p 4

# Each local SWEREF99 zone: a point half a degree east of its meridian, at 60N.
for cm in 12 13.5 14.25 15 15.75 16.5 17.25 18 18.75 20.25 21.75 23.25; do
    lon=$(awk -v c=$cm 'BEGIN { printf "%.2f", c + 0.5 }')
    echo "$lon 60 0
$lon 56 0
$cm 66 0" | run "SWEREF99 local zone, central meridian $cm, cs2cs: lon lat -> E N" \
        cs2cs -f %.4f $WGS84 +to +proj=tmerc +lat_0=0 +lon_0=$cm +k=1 +x_0=150000 +y_0=0 +ellps=WGS84 +towgs84=0,0,0
done

echo "18.0686 59.3293 0
17.9 59.4 0
18.25 59.25 0" | run "ST 74 (GRS 80, null shift), cs2cs: WGS 84 lon lat -> E N" \
    cs2cs -f %.4f $WGS84 +to +proj=tmerc +lat_0=0 +lon_0=18.05779 +k=0.99999425 +x_0=100178.1808 +y_0=-6500614.7836 +ellps=GRS80 +towgs84=0,0,0

# RT 90 with the program's own datum row "RT90-7": translations in metres and
# rotations published for the coordinate-frame convention, here converted
# from radians to arc seconds.
RX=$(awk 'BEGIN { printf "%.12f", 4.1457209945723475e-06 * 206264.80624709636 }')
RY=$(awk 'BEGIN { printf "%.12f", -1.0381399737843578e-05 * 206264.80624709636 }')
RZ=$(awk 'BEGIN { printf "%.12f", 3.404715499641247e-05 * 206264.80624709636 }')
RT90="+proj=tmerc +lat_0=0 +lon_0=15.808277777777779 +k=1 +x_0=1500000 +y_0=0 +ellps=bessel"
SWEREF="+proj=tmerc +lat_0=0 +lon_0=15 +k=0.9996 +x_0=500000 +y_0=0 +ellps=WGS84"
echo "$SWEDEN" | swap | run "RT 90, cct (coordinate-frame Helmert of the program's row): WGS 84 lon lat -> E N" \
    cct -d 4 -z 0 -t 0 +proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad \
        +step +proj=cart +ellps=WGS84 \
        +step +inv +proj=helmert +x=414.1055246174 +y=41.3265500042 +z=603.0582474221 \
              +rx=$RX +ry=$RY +rz=$RZ +s=0 +convention=coordinate_frame \
        +step +inv +proj=cart +ellps=bessel \
        +step $RT90
# The same through cs2cs, whose +towgs84 takes position-vector rotations:
# the signs of the three angles are reversed.
echo "$SWEDEN" | swap | run "RT 90, cs2cs (+towgs84, position-vector signs): WGS 84 lon lat -> E N" \
    cs2cs -f %.4f $WGS84 +to $RT90 +towgs84=414.1055246174,41.3265500042,603.0582474221,-$RX,$(echo $RY | tr -d -),-$RZ,0
# And back: RT 90 grid coordinates (the values above) to WGS 84. The
# Helmert shift and its reverse are both first-order, as published; they
# undo each other to within the square of the angles times the Earth's
# radius, a few millimetres here.
RT90POINTS="1628832.5437 6580908.6405
1685892.7840 7535815.5098
1323454.8133 6167516.4736
1271721.7815 6404687.7512
1577680.2920 6920756.9908
1233328.1273 6544537.4796
1719361.7675 7087466.7907"
echo "$RT90POINTS" | run "RT 90 -> WGS 84, cs2cs: E N -> lon lat" \
    cs2cs -f %.10f $RT90 +towgs84=414.1055246174,41.3265500042,603.0582474221,-$RX,$(echo $RY | tr -d -),-$RZ,0 +to $WGS84
echo "$RT90POINTS" | run "RT 90 -> SWEREF99 TM, cs2cs: E N -> E N" \
    cs2cs -f %.4f $RT90 +towgs84=414.1055246174,41.3265500042,603.0582474221,-$RX,$(echo $RY | tr -d -),-$RZ,0 +to $SWEREF +towgs84=0,0,0
# SWEREF99 TM coordinates of the same points as input, for the projected ->
# projected conversion of the table (and the benchmark).
echo "$SWEDEN" | swap | run "SWEREF99 TM E N of the Sweden points (input of the next block)" \
    cs2cs -f %.4f $WGS84 +to $SWEREF +towgs84=0,0,0
echo "$SWEDEN" | swap | cs2cs -f %.6f $WGS84 +to $SWEREF +towgs84=0,0,0 | awk '{ print $1, $2 }' | \
    run "RT 90 from SWEREF99 TM, cs2cs: E N -> E N" \
    cs2cs -f %.4f $SWEREF +towgs84=0,0,0 +to $RT90 +towgs84=414.1055246174,41.3265500042,603.0582474221,-$RX,$(echo $RY | tr -d -),-$RZ,0

echo "0 0
15 60
151.2 -33.9
-73.6 45.5
-179 85
18 89
18 -89" | run "Pseudo-Mercator (EPSG 3857: spherical formulas on a = 6378137), cs2cs: lon lat -> E N" \
    cs2cs -f %.4f $WGS84 +to +proj=webmerc +datum=WGS84
echo "15 60" | run "Ellipsoidal Mercator at the same point, for the size of the difference" \
    cs2cs -f %.4f $WGS84 +to +proj=merc +lat_ts=0 +lon_0=0 +ellps=WGS84 +towgs84=0,0,0

echo "0 0 0
15 60 0
-120 -45 1500
179.5 89.9 -30
18.0686 59.3293 25" | run "Geocentric WGS 84, cs2cs: lon lat h -> X Y Z" \
    cs2cs -f %.4f $WGS84 +to +proj=geocent +datum=WGS84
echo "0 0 0
60 15 0
-45 -120 1500
89.9 179.5 -30
59.3293 18.0686 25" | run "Geocentric WGS 84, CartConvert: lat lon h -> X Y Z" \
    CartConvert -p 4
echo "59.3293 18.0686 25
59.4 18.2 100
59.3 17.9 -10" | run "Local Cartesian, origin 59.3 N 18.0 E 30 m, CartConvert: lat lon h -> east north up" \
    CartConvert -l 59.3 18.0 30 -p 4

echo "15 60 0
-120 -45 0
0 0 0
100 -10 0
15 60 500" | run "WGS 72 -> WGS 84 (EPSG 1238: dz 4.5 m, rz 0.554'', ds 0.219 ppm, position vector), cct: lon lat h -> lon lat h" \
    cct -d 10 -t 0 +proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad \
        +step +proj=cart +ellps=WGS72 \
        +step +proj=helmert +x=0 +y=0 +z=4.5 +rx=0 +ry=0 +rz=0.554 +s=0.219 +convention=position_vector \
        +step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad +xy_out=deg

MONTEMARIO="+proj=helmert +x=-104.1 +y=-49.1 +z=-9.9 +rx=0.971 +ry=-2.917 +rz=0.714 +s=-11.68 +convention=position_vector"
echo "12.4964 41.9028 0
9.19 45.4642 100
15.55 38.19 0" | run "Monte Mario -> WGS 84 (EPSG 1660, position vector), cct: lon lat h -> lon lat h" \
    cct -d 10 -t 0 +proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad \
        +step +proj=cart +ellps=intl +step $MONTEMARIO \
        +step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad +xy_out=deg
echo "4642000 1028000 4236000" | run "Monte Mario -> WGS 84 (EPSG 1660, position vector), cct: X Y Z -> X Y Z" \
    cct -d 4 -t 0 $MONTEMARIO

echo "180 89.5
-180 -89.5
0 30
45 -60" | run "Mercator (ellipsoidal, WGS 84, true scale at the equator), cs2cs: lon lat -> E N" \
    cs2cs -f %.4f $WGS84 +to +proj=merc +lat_ts=0 +lon_0=0 +ellps=WGS84 +towgs84=0,0,0
echo "30 60
-120 -20" | run "Mercator (ellipsoidal, Bessel, true scale at 40 N, central meridian 10, false 1000 / 2000), cs2cs" \
    cs2cs -f %.4f +proj=longlat +ellps=bessel +to +proj=merc +lat_ts=40 +lon_0=10 +x_0=1000 +y_0=2000 +ellps=bessel
