#!/usr/bin/env bash
# lomitra-batch against PROJ's cct on the same points, in one run.
#
# cct converts inside the network with +proj=tinshift and a triangulation file
# made from the built-in JHS 154 network (the same triangles, so the same
# affine transformations), and at sea with a pipeline of the same JHS 154
# similarity (Helmert) transformation. The two programs run alternately,
# RUNS times each (default 5); the table gives the median wall times and the
# ratio of lomitra-batch's throughput to cct's (above 1: lomitra-batch is
# faster). Then it checks that both give the same coordinates to the printed
# millimetre. Each program writes its result file itself (-o FILE), the way
# it writes fastest: cct writing to a redirected standard output spends about
# half as much time again in the system. lomitra-batch also flushes its file to
# the disk before renaming it over FILE, which cct does not do.
#
# Cases: random points inside the network YKJ -> ETRS-TM35FIN and
# ETRS-TM35FIN -> KKJ zone 3 and -> the point's own KKJ zone (cct has no
# own-zone operation: it runs the zone 3 tinshift there, so that case shows
# lomitra-batch doing more work than cct); neighbouring points (a walk through
# the network); points at sea (ETRS-TM35FIN -> KKJ zone 3 by the Helmert
# transformation, outside every triangle).
#
# lomitra-batch converts on one thread per processor by default; cct on one.
# The table also times lomitra-batch --threads 1 and gives its ratio, so that
# the speed of one thread shows beside the throughput of the whole machine.
#
# Set BASELINE_BATCH to another lomitra-batch (for example a build of an
# earlier commit) to time it as a third column and to compare its result and
# table files byte for byte with this build's.
#
# Usage (Debian, as root; installs what is missing):
#   bench/compare_with_cct.sh
#   RUNS=7 COUNT=1000000 SEA_COUNT=100000 BASELINE_BATCH=/path/lomitra-batch bench/compare_with_cct.sh
# This is a benchmark, not a test: it prints figures and fails only when the
# programs disagree or cannot run.
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=${RUNS:-5}
COUNT=${COUNT:-1000000}
SEA_COUNT=${SEA_COUNT:-100000}
SEED=${SEED:-154}
BASELINE_BATCH=${BASELINE_BATCH:-}

source bench/bench_setup.sh
bench_setup proj-bin lomitra-batch
batch=$PWD/build/bin/lomitra-batch

# ---------------------------------------------------------------- the data
bench_network
for kind in random-kkj random-etrs walk-etrs; do bench_points $kind "$COUNT"; done
bench_points sea-etrs "$SEA_COUNT"

# The JHS 154 similarity transformation ETRS-TM35FIN -> KKJ zone 3 as a PROJ pipeline.
source bench/jhs154_helmert.sh
helmert=$(jhs154_helmert_pipeline)

# name | points file | lomitra-batch options | cct operation | compare with cct
cases=(
  "random YKJ -> ETRS-TM35FIN|random-kkj|--direction kkj-euref|+proj=tinshift +file=$work/kkj-euref.json|yes"
  "random ETRS-TM35FIN -> KKJ zone 3|random-etrs|--direction euref-kkj --result-zone 3|+proj=tinshift +file=$work/euref-kkj.json|yes"
  "random ETRS-TM35FIN -> KKJ own zone|random-etrs|--direction euref-kkj --result-zone own|+proj=tinshift +file=$work/euref-kkj.json|no"
  "neighbouring ETRS-TM35FIN -> KKJ zone 3|walk-etrs|--direction euref-kkj --result-zone 3|+proj=tinshift +file=$work/euref-kkj.json|yes"
  "at sea ETRS-TM35FIN -> KKJ zone 3 (Helmert)|sea-etrs|--direction euref-kkj --result-zone 3|$helmert|yes"
)

seconds() {  # runs "$@" (which writes its own output file); prints its wall and CPU (user + system) times, seconds
  local TIMEFORMAT='%R %U %S' times
  times=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<<"$times"
}

# Prints the largest difference in millimetres between lomitra-batch's result
# file (P<i> N E, CR LF) and cct's output (E N z t), and the count of points
# whose printed values differ by more than one millimetre or are missing.
agreement() {
  paste -d' ' <(tr -d '\r' <"$1" | awk '{ print $2, $3 }') <(awk '{ print $1, $2 }' "$2") |
    awk '{
      dn = ($1 - $4) * 1000; de = ($2 - $3) * 1000
      if (dn < 0) dn = -dn; if (de < 0) de = -de
      d = dn > de ? dn : de
      if (NF < 4 || $3 == "inf" || $4 == "inf" || d != d) { bad++; next }
      if (d > max) max = d
      if (d > 1.0001) bad++
    } END { printf "%.3f %d\n", max, bad + 0 }'
}

printf '\nlomitra-batch %s\ncct: %s\n%d runs each, alternating; medians of the wall time and of the CPU time (user + system)\n' \
  "$(git rev-parse --short HEAD 2>/dev/null || echo '?')" "$(cct --version 2>&1 | head -1)" "$RUNS"
printf 'ratio = lomitra-batch throughput / cct throughput (above 1: lomitra-batch is faster)\n\n'
header="%-44s %9s %9s %9s %11s %9s %9s %11s %7s %7s %10s %7s"
row="%-44s %9d %9s %9s %11s %9s %9s %11s %7s %7s %10s %7s"
titles=(case points "lomitra s" "CPU s" "points/s" "cct s" "CPU s" "points/s" ratio "CPU r." "1 thread s" "ratio")
if [[ -n $BASELINE_BATCH ]]; then
  header+=" %11s %8s"
  row+=" %11s %8s"
  titles+=("baseline s" "vs base")
fi
header+="\n"
row+="\n"
printf "$header" "${titles[@]}"

failed=0
checks=()
for entry in "${cases[@]}"; do
  IFS='|' read -r name file options operation compare <<<"$entry"
  source_file=$work/$file.txt
  lines=$(wc -l <"$source_file")
  read -r -a batch_args <<<"$options"
  read -r -a cct_args <<<"$operation"
  lomitra_out=$work/lomitra.out
  cct_out=$work/cct.out
  lomitra_times=()
  cct_times=()
  base_times=()
  single_times=()
  for ((run = 0; run < RUNS; run++)); do
    lomitra_times+=("$(seconds "$batch" "${batch_args[@]}" --fields 2,3,1 -o "$lomitra_out" "$source_file")")
    cct_times+=("$(seconds cct -c 3,2 -z 0 -t 0 -d 3 -o "$cct_out" "${cct_args[@]}" "$source_file")")
    single_times+=("$(seconds "$batch" --threads 1 "${batch_args[@]}" --fields 2,3,1 -o "$work/single.out" "$source_file")")
    if [[ -n $BASELINE_BATCH ]]; then
      base_times+=("$(seconds "$BASELINE_BATCH" "${batch_args[@]}" --fields 2,3,1 -o "$work/base.out" "$source_file")")
    fi
  done
  lomitra_s=$(printf '%s\n' "${lomitra_times[@]}" | median 1)
  lomitra_cpu=$(printf '%s\n' "${lomitra_times[@]}" | median 2)
  cct_s=$(printf '%s\n' "${cct_times[@]}" | median 1)
  cct_cpu=$(printf '%s\n' "${cct_times[@]}" | median 2)
  rate() { awk -v n="$lines" -v s="$1" 'BEGIN { printf "%.0f", n / s }'; }
  ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'; }
  values=("$name" "$lines" "$lomitra_s" "$lomitra_cpu" "$(rate "$lomitra_s")" "$cct_s" "$cct_cpu" "$(rate "$cct_s")"
          "$(ratio "$lomitra_s" "$cct_s")" "$(ratio "$lomitra_cpu" "$cct_cpu")")
  single_s=$(printf '%s\n' "${single_times[@]}" | median 1)
  values+=("$single_s" "$(ratio "$single_s" "$cct_s")")
  if [[ -n $BASELINE_BATCH ]]; then
    base_s=$(printf '%s\n' "${base_times[@]}" | median 1)
    values+=("$base_s" "$(ratio "$lomitra_s" "$base_s")")
  fi
  printf "$row" "${values[@]}"

  if [[ $compare == yes ]]; then
    read -r largest bad < <(agreement "$lomitra_out" "$cct_out")
    checks+=("$(printf '%-44s largest difference %.3f mm, %d of %d points differ by more than 1 mm' "$name" "$largest" "$bad" "$lines")")
    ((bad == 0)) || failed=1
  fi
  if cmp -s "$lomitra_out" "$work/single.out"; then
    checks+=("$(printf '%-44s the same result file with one thread' "$name")")
  else
    checks+=("$(printf '%-44s RESULT FILES DIFFER between one thread and the default' "$name")")
    failed=1
  fi
  if [[ -n $BASELINE_BATCH ]]; then
    "$batch" "${batch_args[@]}" --fields 2,3,1 --table "$work/table.txt" -o "$work/with-table.out" "$source_file" 2>/dev/null
    "$BASELINE_BATCH" "${batch_args[@]}" --fields 2,3,1 --table "$work/base-table.txt" -o "$work/base-with-table.out" "$source_file" 2>/dev/null
    if cmp -s "$lomitra_out" "$work/base.out" && cmp -s "$work/with-table.out" "$work/base-with-table.out" &&
       cmp -s "$work/table.txt" "$work/base-table.txt" && cmp -s "$lomitra_out" "$work/with-table.out"; then
      checks+=("$(printf '%-44s result and table files byte-identical to the baseline' "$name")")
    else
      checks+=("$(printf '%-44s FILES DIFFER from the baseline' "$name")")
      failed=1
    fi
  fi
done

printf '\nChecks (agreement with cct to the printed millimetre; own zone: cct has no own-zone operation, not compared):\n'
printf '  %s\n' "${checks[@]}"
exit "$failed"
