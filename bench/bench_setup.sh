# The set-up the comparison benchmarks share (sourced by bench/compare_*.sh,
# from the repository's root).
#
# bench_setup "PACKAGES" TARGET...: installs what Lomitra needs and the
# Debian PACKAGES the comparison needs, builds the TARGETs (and the data
# generator) in build/ (Release), and sets $data, the generator, and $work, a
# scratch folder removed on exit.
bench_setup() {
  local packages=$1
  shift
  ./tools/install-deps.sh
  # shellcheck disable=SC2086  # a list of package names
  [[ -z $packages ]] || ./tools/install-deps.sh $packages
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DLOMITRA_WERROR=ON >/dev/null
  cmake --build build -j"$(nproc)" --target "$@" lomitra_bench_data >/dev/null
  data=$PWD/build/bin/lomitra_bench_data
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

# bench_network: the built-in network as PROJ tinshift files in $work,
# kkj-euref.json (YKJ -> ETRS-TM35FIN) and euref-kkj.json (the reverse).
bench_network() {
  "$data" tinshift kkj-euref >"$work/kkj-euref.json"
  "$data" tinshift euref-kkj >"$work/euref-kkj.json"
}

# bench_points KIND COUNT: COUNT points of KIND (random-kkj, random-etrs,
# walk-etrs, sea-etrs) drawn with $SEED into $work/KIND.txt.
bench_points() {
  "$data" points "$1" "$2" "$SEED" >"$work/$1.txt"
}

# median COLUMN: the median of that column of the lines on standard input.
median() { awk -v c="$1" '{ print $c }' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
