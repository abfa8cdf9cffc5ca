#!/usr/bin/env bash
# lomitra-gis against ogr2ogr -ct with PROJ's tinshift of the same network, on
# the same GeoPackages, in one run.
#
# Data (YKJ, inside the network, drawn by lomitra_bench_data): a GeoPackage of
# POINTS points (default 1 000 000) and one of POLYGONS polygons (default
# 100 000, less the few that reach out of the network) of 101 vertices each
# (about 10 M vertices), with an id and a text field. Each program converts each file to ETRS-TM35FIN, RUNS times
# (default 3), alternately; the table gives the median wall and CPU times,
# the ratio of ogr2ogr's time to lomitra-gis's (above 1: lomitra-gis is
# faster) and the largest peak resident memory of the runs.
#
# Memory against the number of features: both programs also convert the
# first tenth of the points, so that the two peak memories show whether
# memory grows with the dataset.
#
# ogr2ogr runs as a user would run it for this conversion: -s_srs EPSG:2393
# -t_srs EPSG:3067 -ct "axisswap, tinshift" (the default transaction size);
# lomitra-gis with its defaults. Both write a GeoPackage with a spatial index.
# The figures depend on the machine's load: the load average before each case
# is printed.
#
# Usage (Debian, as root; installs what is missing):
#   bench/compare_gis_with_ogr2ogr.sh
#   RUNS=5 POINTS=200000 POLYGONS=20000 bench/compare_gis_with_ogr2ogr.sh
# This is a benchmark, not a test: it prints figures and fails only when a
# program fails or the two disagree on the feature count.
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=${RUNS:-3}
POINTS=${POINTS:-1000000}
POLYGONS=${POLYGONS:-100000}
SEED=${SEED:-154}

source bench/bench_setup.sh
bench_setup "" lomitra-gis
gis=$PWD/build/bin/lomitra-gis

# ---------------------------------------------------------------- the data
bench_network
points_csv() {  # COUNT: id, north, east and a name of random YKJ points inside the network
  echo "id,n,e,nimi"
  "$data" points random-kkj "$1" "$SEED" | awk '{ i = substr($1, 2); print i "," $2 "," $3 ",kohde " i }'
}
to_gpkg() {  # CSV GPKG LAYER
  ogr2ogr -f GPKG "$2" "$1" -nln "$3" -a_srs EPSG:2393 -oo X_POSSIBLE_NAMES=e -oo Y_POSSIBLE_NAMES=n \
    -oo KEEP_GEOM_COLUMNS=NO -oo AUTODETECT_TYPE=YES
}
points_csv "$POINTS" >"$work/points.csv"
to_gpkg "$work/points.csv" "$work/points.gpkg" pisteet
head -n $((POINTS / 10 + 1)) "$work/points.csv" >"$work/tenth.csv"
to_gpkg "$work/tenth.csv" "$work/tenth.gpkg" pisteet
points_csv "$POLYGONS" >"$work/centres.csv"
to_gpkg "$work/centres.csv" "$work/centres.gpkg" keskipisteet
# 25 segments a quadrant: 100 vertices and the closing one. PROJ's tinshift
# converts nothing outside the triangles, so only polygons wholly inside them
# are kept: those that lomitra-gis finds all inside (status 0).
ogr2ogr -f GPKG "$work/all.gpkg" "$work/centres.gpkg" -nln alueet -dialect SQLite \
  -sql "SELECT id, nimi, ST_Buffer(geom, 40.0, 25) AS geom FROM keskipisteet"
"$gis" "$work/all.gpkg" "$work/probe.gpkg" --to ETRS-TM35FIN --status-field tila -q || true
ogr2ogr -update "$work/all.gpkg" "$work/probe.gpkg" -nln probe -sql "SELECT id, tila FROM alueet"
ogr2ogr -f GPKG "$work/polygons.gpkg" "$work/all.gpkg" -nln alueet -dialect SQLite \
  -sql "SELECT a.id, a.nimi, a.geom FROM alueet a JOIN probe p ON a.id = p.id WHERE p.tila = 0"
POLYGONS=$(ogrinfo -so "$work/polygons.gpkg" alueet | awk '/Feature Count/ { print $3 }')
rm -f "$work"/*.csv "$work/centres.gpkg" "$work/all.gpkg" "$work/probe.gpkg"

ct="+proj=pipeline +step +proj=axisswap +order=2,1 +step +proj=tinshift +file=$work/kkj-euref.json"

measure() {  # OUTPUT COMMAND...: runs it afresh; prints wall s, CPU s, peak KiB
  rm -f "$1"
  shift
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || {
    cat "$work/err" >&2
    return 1
  }
  awk '{ printf "%.2f %.2f %d\n", $1, $2 + $3, $4 }' "$work/time"
}
largest() { awk -v c="$1" '$c > m { m = $c } END { print m }'; }

printf '\nlomitra-gis %s, %s\n' "$(git rev-parse --short HEAD 2>/dev/null || echo '?')" "$(ogr2ogr --version)"
printf '%d runs each, alternating; medians of wall and CPU (user + system) time, largest peak memory\n' "$RUNS"
printf 'ratio = ogr2ogr time / lomitra-gis time (above 1: lomitra-gis is faster)\n\n'
header="%-30s %10s %11s %9s %9s %9s %9s %9s %9s %7s %7s %6s\n"
printf "$header" case features vertices "gis s" "CPU s" "MiB" "ogr s" "CPU s" "MiB" ratio "CPU r." load
failed=0
for entry in "points|$work/points.gpkg|$POINTS|1" "tenth of the points|$work/tenth.gpkg|$((POINTS / 10))|1" \
             "polygons|$work/polygons.gpkg|$POLYGONS|101"; do
  IFS='|' read -r name source features per <<<"$entry"
  load=$(cut -d' ' -f1 /proc/loadavg)
  gis_runs=()
  ogr_runs=()
  for ((run = 0; run < RUNS; run++)); do
    gis_runs+=("$(measure "$work/gis.gpkg" "$gis" "$source" "$work/gis.gpkg" --to ETRS-TM35FIN -q)")
    ogr_runs+=("$(measure "$work/ogr.gpkg" ogr2ogr -s_srs EPSG:2393 -t_srs EPSG:3067 -ct "$ct" "$work/ogr.gpkg" "$source")")
  done
  values=()
  for runs in gis_runs ogr_runs; do
    declare -n list=$runs
    values+=("$(printf '%s\n' "${list[@]}" | median 1)" "$(printf '%s\n' "${list[@]}" | median 2)"
             "$(printf '%s\n' "${list[@]}" | largest 3 | awk '{ printf "%.0f", $1 / 1024 }')")
  done
  ratio=$(awk -v a="${values[0]}" -v b="${values[3]}" 'BEGIN { printf "%.2f", b / a }')
  cpu_ratio=$(awk -v a="${values[1]}" -v b="${values[4]}" 'BEGIN { printf "%.2f", b / a }')
  printf "$header" "$name" "$features" "$((features * per))" "${values[@]}" "$ratio" "$cpu_ratio" "$load"
  gis_count=$(ogrinfo -so -al "$work/gis.gpkg" | awk '/Feature Count/ { print $3 }')
  ogr_count=$(ogrinfo -so -al "$work/ogr.gpkg" | awk '/Feature Count/ { print $3 }')
  if [[ $gis_count != "$features" || $ogr_count != "$features" ]]; then
    echo "  FEATURE COUNTS DIFFER: lomitra-gis $gis_count, ogr2ogr $ogr_count, source $features"
    failed=1
  fi
done
exit "$failed"
