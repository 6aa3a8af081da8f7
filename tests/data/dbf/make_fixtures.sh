#!/bin/sh
# Makes the dBase fixtures of the dBase table tests with other programs'
# writers, and records beside each file what those programs read from it.
# The tests hard-code the values printed in the dumps; they never run these
# tools themselves.
#
# Needs the Debian packages shapelib (dbfcreate, dbfadd, dbfdump), gdal-bin
# (ogr2ogr, ogrinfo) and xxd. Run from anywhere:  sh make_fixtures.sh
set -eu
cd "$(dirname "$0")"

# Writes one byte, given as a decimal number, at a file offset, in place.
# (POSIX printf knows octal escapes only.)
put_byte() {
    printf "\\$(printf '%03o' "$3")" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# The type letter of descriptor i (0-based) sits at 32 + 32 * i + 11, its
# decimals at 32 + 32 * i + 17.
set_type() { put_byte "$1" $((32 + 32 * $2 + 11)) "$3"; }
set_decimals() { put_byte "$1" $((32 + 32 * $2 + 17)) "$3"; }

rm -f strings.dbf numbers.dbf typed.dbf empty.dbf extra_header.dbf gdal.dbf

# strings.dbf: C fields; leading blanks, trailing blanks, UTF-8 bytes, an
# empty value and a value filling its field. shapelib pads with spaces.
dbfcreate strings.dbf -s NAME 12 -s CODE 4
dbfadd strings.dbf "  lead" "ab"
dbfadd strings.dbf "Zürich" "  x"
dbfadd strings.dbf "" ""
dbfadd strings.dbf "abcdefghijkl" "wxyz"
dbfdump -h -r -m strings.dbf > strings.dbfdump.txt
# dbfdump (like ogrinfo) strips leading blanks, which this program keeps; the
# raw bytes show them.
xxd strings.dbf > strings.xxd.txt

# numbers.dbf: N fields. N(5,0) and N(11,0) are whole numbers, N(12,0) is too
# wide for a 32-bit int, N(10,3) and N(5,2) carry decimals. The last record
# holds only empty values, which shapelib writes as '*'.
dbfcreate numbers.dbf -n ID 5 0 -n BIG 11 0 -n WIDE 12 0 -n AREA 10 3 -n SCORE 5 2
dbfadd numbers.dbf 1 2147483647 123456789012 3.25 -1.5
dbfadd numbers.dbf -42 -7 0 -0.5 99.99
dbfadd numbers.dbf "" "" "" "" ""
dbfdump -h -r -m numbers.dbf > numbers.dbfdump.txt

# typed.dbf: F, D and L fields. Neither dbfcreate nor ogr2ogr writes F or L,
# so the table is made with C fields holding the raw texts and the type
# letters (and the F field's decimals) are then set in place:
#   field 0 AMOUNT C(8) -> F(8,2), field 1 DAY C(8) -> D(8),
#   field 2 OK C(1) -> L(1), field 3 NOTE stays C(6).
dbfcreate typed.dbf -s AMOUNT 8 -s DAY 8 -s OK 1 -s NOTE 6
dbfadd typed.dbf "  007.50" "20260115" "T" "first"
dbfadd typed.dbf "  -12.25" "19991231" "f" "second"
dbfadd typed.dbf "    0.05" "" "?" ""
set_type typed.dbf 0 70       # 'F'
set_decimals typed.dbf 0 2
set_type typed.dbf 1 68       # 'D'
set_type typed.dbf 2 76       # 'L'
dbfdump -h -r -m typed.dbf > typed.dbfdump.txt
ogrinfo -al typed.dbf > typed.ogrinfo.txt

# empty.dbf: three fields and no record.
dbfcreate empty.dbf -s NAME 20 -n POP 9 0 -n DENS 8 2
dbfdump -h -r -m empty.dbf > empty.dbfdump.txt

# extra_header.dbf: two fields, two records, and 6 bytes between the
# terminator and the first record, with the header length (bytes 8-9) saying
# so, as writers that keep more after the terminator (FoxPro's backlink area,
# for one) leave it: 32 * 2 + 33 + 6 = 103.
dbfcreate plain.tmp.dbf -s CITY 6 -n RANK 3 0
dbfadd plain.tmp.dbf "Oslo" 1
dbfadd plain.tmp.dbf "Bergen" 2
head -c 97 plain.tmp.dbf > extra_header.dbf
printf 'XXXXXX' >> extra_header.dbf
tail -c +98 plain.tmp.dbf >> extra_header.dbf
rm -f plain.tmp.dbf
put_byte extra_header.dbf 8 103
put_byte extra_header.dbf 9 0
dbfdump -h -r -m extra_header.dbf > extra_header.dbfdump.txt

# gdal.dbf: a table written by GDAL's shapefile driver from a CSV whose
# column types come from a .csvt file. GDAL writes a code-page byte, the
# date of writing as years since 1900, nulls as '*' (and '00000000' for
# dates) and D fields as 8 digits. ogrinfo shows the values as GDAL formats
# them; dbfdump -r shows the stored text.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/gdal.csv" <<'CSV'
NAME,COUNT,AREA,DAY,FLAG
Harbour,12,1234.5,2026-01-15,1
  Mill,-3,0.25,1999-12-31,0
,,,,
CSV
printf '"String(12)","Integer(6)","Real(10.2)","Date","Integer(1)"\n' > "$work/gdal.csvt"
ogr2ogr -f "ESRI Shapefile" "$work/out" "$work/gdal.csv"
cp "$work/out/gdal.dbf" gdal.dbf
ogrinfo -al gdal.dbf > gdal.ogrinfo.txt
dbfdump -h -r -m gdal.dbf > gdal.dbfdump.txt

# written_doubles.dbf is this program's own output: the test
# dBaseFileWrite.DoublesWithoutDecimalsReadBackAsDoubles writes the same bytes
# (the date of writing aside). Only GDAL's reading of it is recorded here: its
# double column must come back as Real, and the year as 20xx.
ogrinfo -al written_doubles.dbf > written_doubles.ogrinfo.txt
