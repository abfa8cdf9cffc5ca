#!/usr/bin/env bash
# The Python module lomitra against PROJ through pyproj on the same NumPy
# arrays, and lomitra.dask on a cluster of two workers against one process
# (bench/compare_with_pyproj.py tells the cases); then the memory of 100
# calls of a million points by four threads sharing one Transformer.
#
# Usage (Debian, as root; installs what is missing, builds build/):
#   bench/compare_with_pyproj.sh
#   RUNS=7 COUNT=1000000 DASK_POINTS=20000000 bench/compare_with_pyproj.sh
# A benchmark, not a test: it prints figures and fails only when the two
# disagree or cannot run.
set -euo pipefail
cd "$(dirname "$0")/.."

COUNT=${COUNT:-1000000}
SEED=${SEED:-154}

source bench/bench_setup.sh
bench_setup python3-pyproj lomitra_python
bench_network
for kind in random-kkj random-etrs; do bench_points $kind "$COUNT"; done

export PYTHONPATH=$PWD/build/python
/usr/bin/python3 -B bench/compare_with_pyproj.py "$work"

# glibc gives every large block back at once here, so that RSS shows what
# the module keeps, not what the allocator holds for later.
grown=$(MALLOC_MMAP_THRESHOLD_=131072 /usr/bin/python3 -B python/tests/test_threads.py)
printf '\nRSS growth over 100 calls of 1 000 000 points (4 threads sharing one Transformer, after a warm-up): %d KiB\n' \
  $((grown / 1024))
