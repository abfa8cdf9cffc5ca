#!/usr/bin/env bash
# lomitra-gis against PROJ on the same dataset: YKJ -> ETRS-TM35FIN inside the
# network, where PROJ's +proj=tinshift with a triangulation made from the
# built-in JHS 154 network (the same triangles, so the same affine
# transformations) is the method itself. ogr2ogr -ct runs it; every vertex of
# both results (points, and polygons around them) must agree within 1 mm.
# Usage: check_against_proj.sh BUILD_DIR
set -euo pipefail
bin=$1/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$bin/lomitra_bench_data" tinshift kkj-euref >kkj-euref.json
{
  echo "id,n,e"
  "$bin/lomitra_bench_data" points random-kkj 20000 154 | awk '{ print substr($1, 2) "," $2 "," $3 }'
} >points.csv
ogr2ogr -f GPKG source.gpkg points.csv -nln pisteet -a_srs EPSG:2393 \
  -oo X_POSSIBLE_NAMES=e -oo Y_POSSIBLE_NAMES=n -oo KEEP_GEOM_COLUMNS=NO
ogr2ogr -update source.gpkg source.gpkg -nln alueet -dialect SQLite \
  -sql "SELECT id, ST_Buffer(geom, 25.0, 4) AS geom FROM pisteet WHERE id % 10 = 0"

# YKJ is north, east in EPSG; ETRS-TM35FIN east, north: the pipeline swaps the axes first.
ogr2ogr -s_srs EPSG:2393 -t_srs EPSG:3067 \
  -ct "+proj=pipeline +step +proj=axisswap +order=2,1 +step +proj=tinshift +file=$work/kkj-euref.json" \
  proj.gpkg source.gpkg
"$bin/lomitra-gis" source.gpkg lomitra.gpkg --to ETRS-TM35FIN -q

/usr/bin/python3 - <<'PY'
import sys
from osgeo import ogr
ogr.UseExceptions()

def vertices(geometry, out):
    if geometry.GetGeometryCount() > 0:
        for i in range(geometry.GetGeometryCount()):
            vertices(geometry.GetGeometryRef(i), out)
    else:
        out.extend(geometry.GetPoints() or [])

proj, lomitra = ogr.Open("proj.gpkg"), ogr.Open("lomitra.gpkg")
worst, count, bad = 0.0, 0, 0
for name in ("pisteet", "alueet"):
    a, b = proj.GetLayerByName(name), lomitra.GetLayerByName(name)
    if a.GetFeatureCount() != b.GetFeatureCount() or a.GetFeatureCount() == 0:
        sys.exit(f"{name}: {a.GetFeatureCount()} features from PROJ, {b.GetFeatureCount()} from lomitra-gis")
    for fa, fb in zip(a, b):
        va, vb = [], []
        vertices(fa.GetGeometryRef(), va)
        vertices(fb.GetGeometryRef(), vb)
        if len(va) != len(vb):
            sys.exit(f"{name} {fa.GetFID()}: {len(va)} vertices from PROJ, {len(vb)} from lomitra-gis")
        for p, q in zip(va, vb):
            d = max(abs(p[0] - q[0]), abs(p[1] - q[1])) * 1000.0
            worst, count = max(worst, d), count + 1
            bad += d > 1.0
print(f"{count} vertices: largest difference {worst:.6f} mm, {bad} over 1 mm")
sys.exit(1 if bad else 0)
PY
