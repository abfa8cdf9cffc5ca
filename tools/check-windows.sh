#!/usr/bin/env bash
# The Windows check: cross-builds the geodesy, the conversion core, the
# library lomitra.dll, the platform, the windows' logic, lomitra-batch and
# their tests for 64-bit Windows (mingw-w64, posix threads, static runtimes),
# checks that lomitra.dll exports the library's interface alone and that
# neither it nor lomitra-batch.exe needs a DLL beside it, runs the tests under
# Wine (the C interface's against lomitra.dll), and compares lomitra-batch.exe's
# result and table files, byte for byte, with the Linux build's on generated
# files of every setting, standard input to standard output included.
# Installs what is missing (Debian, as root).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS

./tools/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 googletest cmake make g++ gawk

jobs=$(nproc)
windows=$root/build-windows
linux=$root/build-windows/linux
export WINEDEBUG=-all
export WINEPREFIX=$windows/wine-prefix
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts

echo "== Cross build for Windows"
cmake -S . -B "$windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DLOMITRA_WERROR=ON -DLOMITRA_UI=OFF -DLOMITRA_BENCH=OFF \
      -DLOMITRA_GTEST_SOURCE=/usr/src/googletest >/dev/null
cmake --build "$windows" -j"$jobs" --target geodesy_tests core_tests c_api_tests platform_tests app_tests batch_tests \
      lomitra-batch liblomitra

echo "== Linux build of lomitra-batch to compare with"
cmake -S . -B "$linux" -DCMAKE_BUILD_TYPE=Release -DLOMITRA_UI=OFF -DLOMITRA_BENCH=OFF >/dev/null
cmake --build "$linux" -j"$jobs" --target lomitra-batch

exe=$windows/bin/lomitra-batch.exe
elf=$linux/bin/lomitra-batch
wine "$exe" --version >/dev/null 2>&1 || true  # the first start makes the Wine prefix
# One Wine server for the whole check. Debian's wineserver ends as soon as its
# last program does, so that every run would otherwise start a new one while
# the last may still be ending.
wineserver -w
wineserver -p
trap 'wineserver -k || true' EXIT

echo "== lomitra.dll and the programs' DLLs"
objdump=x86_64-w64-mingw32-objdump
dll=$windows/bin/lomitra.dll
# The names a file exports, and the DLLs it imports.
exports_of() { "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p'; }
imports_of() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
exports=$(exports_of "$dll")
# Only the functions of lomitra.h and the classes and functions that
# lomitra.hpp marks LOMITRA_API (with their type information); every function of lomitra.h.
classes=$(sed -n 's/^class LOMITRA_API \([A-Za-z]*\).*/\1/p' include/lomitra/lomitra.hpp | paste -sd'|')
functions=$(grep -o '^LOMITRA_API [^(]*' include/lomitra/lomitra.hpp | grep -o '[A-Za-z]*$' | paste -sd'|')
[[ -n $classes && -n $functions ]] || { echo "no public classes or functions found in lomitra.hpp" >&2; exit 1; }
others=$(x86_64-w64-mingw32-c++filt <<<"$exports" |
         grep -Ev "^(lomitra_[a-z_]+|lomitra::($classes)::.*|lomitra::($functions)[[(].*|(typeinfo|typeinfo name|vtable) for lomitra::($classes))\$" ||
         true)
[[ -z $others ]] || { echo "lomitra.dll exports more than the library's interface:" >&2; echo "$others" >&2; exit 1; }
for function in $(grep -o 'lomitra_[a-z_]*(' include/lomitra/lomitra.h | tr -d '(' | sort -u); do
  grep -qx "$function" <<<"$exports" || { echo "lomitra.dll does not export $function" >&2; exit 1; }
done
# No DLL of the compiler's runtimes (or the library) needed beside the programs.
for file in "$dll" "$exe" "$windows/bin/c_api_tests.exe"; do
  own=$(imports_of "$file" | grep -Ei '^(libstdc|libgcc|libwinpthread|lomitra)' || true)
  if [[ $file == */c_api_tests.exe ]]; then
    [[ $own == lomitra.dll ]] || { echo "c_api_tests.exe does not take lomitra.dll: $own" >&2; exit 1; }
  elif [[ -n $own ]]; then
    echo "$(basename "$file") needs $own beside it" >&2
    exit 1
  fi
done
echo "lomitra.dll: $(wc -l <<<"$exports") names exported, all of the library's interface"

echo "== Tests under Wine"
for suite in geodesy_tests core_tests c_api_tests platform_tests app_tests batch_tests; do
  wine "$windows/bin/$suite.exe" --gtest_brief=1
done

echo "== lomitra-batch.exe against the Linux build"
work=$(mktemp -d)
trap 'rm -rf "$work"; wineserver -k || true' EXIT
# Sources of every kind: identifier in columns 1-8, the coordinates right-aligned
# in 9-24 and 25-40, a remark; between them lines at sea, outside the area,
# without coordinates, empty, with tabs, bytes above 0x7F and 0x1A.
WORK=$work LC_ALL=C gawk -v seed=154 'BEGIN {
  srand(seed)
  kinds["euref"] = 1; kinds["kkj"] = 1; kinds["dd"] = 1; kinds["dm"] = 1; kinds["dms"] = 1
  for (kind in kinds) {
    file = ENVIRON["WORK"] "/" kind ".txt"
    for (i = 0; i < 4000; i++) {
      if (i % 97 == 0) { printf "Otsikko \344\366 %d\r\n", i > file; continue }
      if (i % 89 == 0) { printf "\r\n" > file; continue }
      if (i % 83 == 0) { printf "x\032y\t%d\r\n", i > file; continue }
      lat = 59.6 + rand() * 10.6; lon = 19.5 + rand() * 12
      decimals = int(rand() * 5)
      if (kind == "euref") { a = 6600000 + rand() * 1200000; b = 50000 + rand() * 700000 }
      if (kind == "kkj")   { a = 6600000 + rand() * 1200000; b = (1 + int(rand() * 4)) * 1000000 + 150000 + rand() * 700000 }
      if (kind == "dd")    { a = lat; b = lon; decimals += 4 }
      if (kind == "dm")    { a = int(lat) * 100 + (lat - int(lat)) * 60; b = int(lon) * 100 + (lon - int(lon)) * 60; decimals += 2 }
      if (kind == "dms")   { m = (lat - int(lat)) * 60; a = int(lat) * 10000 + int(m) * 100 + (m - int(m)) * 60
                             m = (lon - int(lon)) * 60; b = int(lon) * 10000 + int(m) * 100 + (m - int(m)) * 60 }
      if (i % 71 == 0 && (kind == "euref" || kind == "kkj")) { a = 6100000 + rand() * 50000 }  # at sea, south
      if (i % 67 == 0) { a = a * 10 }                                                         # outside the area
      sep = (i % 5 == 0) ? "\t" : " "
      printf "P%-7d%16.*f%s%15.*f  huom \344%d\r\n", i, decimals, a, sep, decimals, b, i > file
    }
    close(file)
  }
}'

runs=0
repeated=0
# One run of each build; every file of the run before is gone first, so that
# a run that writes nothing cannot be compared by an earlier run's files.
run_both() {  # source options...
  local source=$1 status
  shift
  rm -f "$work"/linux.* "$work"/win.*
  status=0
  "$elf" "$@" -o "$work/linux.out" --table "$work/linux.tab" "$source" 2>"$work/linux.err" || status=$?
  echo "$status" >"$work/linux.status"
  status=0
  wine "$exe" "$@" -o "$work/win.out" --table "$work/win.tab" "$source" 2>"$work/win.err" || status=$?
  echo "$status" >"$work/win.status"
}
# The first part in which the two runs differ (a file that only one wrote
# differs), or nothing.
first_difference() {
  local part
  for part in status out tab err; do
    if [[ -e $work/linux.$part || -e $work/win.$part ]] &&
       ! cmp -s "$work/linux.$part" "$work/win.$part"; then
      echo "$part"
      return
    fi
  done
}
report() {  # part options...
  local part=$1 line side
  shift
  echo "DIFFERENT ($part): $*" >&2
  echo "  exit status: Linux $(cat "$work/linux.status"), Windows $(cat "$work/win.status")" >&2
  for side in linux win; do
    echo "  standard error ($side):" >&2
    sed -n '1,5{s/^/    /;p}' "$work/$side.err" >&2 2>/dev/null || true
  done
  if [[ -e $work/linux.$part && -e $work/win.$part ]]; then
    line=$( (cmp "$work/linux.$part" "$work/win.$part" 2>/dev/null || true) | sed -n 's/.*line \([0-9]*\).*/\1/p')
    if [[ -n $line ]]; then
      echo "  line $line (Linux, then Windows):" >&2
      for side in linux win; do sed -n "${line}{s/^/    /;p}" "$work/$side.$part" | cat -v >&2; done
    fi
  else
    echo "  only one of the two runs wrote $part" >&2
  fi
}
compare() {  # source-kind options... (the layout alternates: fixed columns, free format)
  local source=$work/$1.txt part
  shift
  local -a options=("$@")
  if ((runs % 2 == 0)); then options+=(--columns 9:16,25:16,1:8); else options+=(--fields 2,3,1); fi
  run_both "$source" "${options[@]}"
  part=$(first_difference)
  if [[ -n $part ]]; then
    report "$part" "${options[@]}"
    # A Windows run that failed without a word of lomitra-batch's own (no
    # message, no summary) failed in Wine, not in the program: it is printed
    # above and repeated once, and must then agree.
    if [[ $(cat "$work/win.status") != "$(cat "$work/linux.status")" ]] &&
       ! grep -qE "^lomitra-batch|^muunnettu" "$work/win.err"; then
      echo "  no word of lomitra-batch's own: repeated once" >&2
      repeated=$((repeated + 1))
      run_both "$source" "${options[@]}"
      part=$(first_difference)
      [[ -z $part ]] || { report "$part" "${options[@]}"; exit 1; }
    else
      exit 1
    fi
  fi
  runs=$((runs + 1))
}

for sz in tm34 tm35 tm36; do
  for rz in own 1 2 3 4 5; do compare euref --source-zone "$sz" --result-zone "$rz"; done
done
for rz in tm34 tm35 tm36 gk19 gk20 gk21 gk22 gk23 gk24 gk25 gk26 gk27 gk28 gk29 gk30 gk31 gk32; do
  compare kkj --direction kkj-euref --result-zone "$rz"
done
for f in dd dm dms; do
  compare euref --result geographic --result-format "$f"
  compare kkj --direction kkj-euref --result geographic --result-format "$f"
  compare "$f" --source geographic --source-format "$f"
  compare "$f" --direction kkj-euref --source geographic --source-format "$f" --result-zone gk25
  for g in dd dm dms; do
    compare "$f" --source geographic --source-format "$f" --result geographic --result-format "$g"
    compare "$f" --direction kkj-euref --source geographic --source-format "$f" \
            --result geographic --result-format "$g"
  done
done

# The systems by name.
compare kkj --from KKJ2 --to ETRS-GK25
compare euref --from EPSG:3067 --to kkj-own
compare dms --from KKJ --to EUREF-FIN --source-format dms --result-format dm

# A UTF-8 source (the same lines, ä and ö in UTF-8): columns counted in characters.
LC_ALL=C sed 's/\xe4/\xc3\xa4/g; s/\xf6/\xc3\xb6/g' "$work/euref.txt" >"$work/utf8.txt"
compare utf8 --result-zone 3
compare utf8 --result-zone 3

# Standard input to standard output: empty lines and a 0x1A byte pass unchanged.
printf 'P1 6718527.414 3106266.213\r\n\r\n\n\032\r\nx\032y 6712263.904 3495070.508\r\n\r\n' >"$work/stdin.txt"
"$elf" --direction kkj-euref --fields 2,3,1 - <"$work/stdin.txt" >"$work/linux.out" 2>/dev/null
wine "$exe" --direction kkj-euref --fields 2,3,1 - <"$work/stdin.txt" >"$work/win.out" 2>/dev/null
cmp "$work/linux.out" "$work/win.out"
runs=$((runs + 1))

echo "== Windows check passed: $runs runs byte-identical, $((SECONDS - started)) s"
((repeated == 0)) || echo "   ($repeated of them repeated after a failure in Wine, printed above)"
