#!/usr/bin/env bash
# The library's C interface against PROJ through pyproj, on the same NumPy
# arrays of random points, one thread each (bench/c_abi_against_pyproj.py
# does the timing and the comparison).
#
# Lomitra is called through ctypes on lomitra_transform with the arrays' data
# pointers and strides (no copy, on the calling thread); pyproj converts the
# same arrays in place. Cases:
#   - random points inside the network, YKJ -> ETRS-TM35FIN; PROJ runs
#     +proj=tinshift with a triangulation file made from the built-in JHS 154
#     network (the same triangles, so the same affine transformations);
#   - points at sea, ETRS-TM35FIN -> YKJ; PROJ runs the same JHS 154
#     similarity (Helmert) transformation as a pipeline;
#   - EUREF-FIN latitudes and longitudes of random network points to the KKJ
#     own zone. PROJ has no own-zone operation: it runs the closest pipeline it
#     can, ETRS-TM35FIN's projection and the tinshift to YKJ, so here Lomitra
#     does more (the own zone's re-projection) than PROJ. The same points to
#     YKJ give the like-for-like figure, and are compared.
# The two alternate, RUNS times each (default 7); the table gives the medians
# and the ratio of the throughputs. Both must agree within 1 mm where they are
# compared (inside the network and at sea); the script fails otherwise. Run it
# on a quiet machine: `uptime` is printed with the figures.
#
# Usage (Debian, as root; installs proj-bin, python3-pyproj and python3-numpy
# if missing):
#   bench/compare_c_abi_with_pyproj.sh
#   RUNS=11 COUNT=1000000 bench/compare_c_abi_with_pyproj.sh
# This is a benchmark, not a test: it prints figures and fails only when the
# two disagree or cannot run.
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=${RUNS:-7}
COUNT=${COUNT:-1000000}
SEED=${SEED:-154}

source bench/bench_setup.sh
bench_setup "proj-bin python3-pyproj python3-numpy" liblomitra
library=$(find "$PWD/build/core" -maxdepth 1 -name 'liblomitra.so.*.*' | head -1)
[[ -n $library ]] || { echo "liblomitra was not built" >&2; exit 1; }

bench_network
for kind in random-kkj random-etrs sea-etrs; do bench_points $kind "$COUNT"; done

source bench/jhs154_helmert.sh
echo "load: $(uptime)"
# Debian's Python, where apt installs pyproj and NumPy.
/usr/bin/python3 bench/c_abi_against_pyproj.py "$library" "$work" "$RUNS" "$(jhs154_helmert_pipeline)"
