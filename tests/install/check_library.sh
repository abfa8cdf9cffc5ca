#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses the library as another
# developer would: a C++ program through find_package(Lomitra), a C program
# through pkg-config lomitra; both must convert the public anchor point YKJ
# P 6 700 000, I 3 210 000 to ETRS-TM35FIN N 6 697 187.001, E 209 948.322.
# Also checks the versioned shared library and that it exports only the
# public interface, and that Debian's python3 imports the installed module.
# Usage: check_library.sh BUILD_DIR VERSION SANITIZE(ON/OFF)
set -euo pipefail
build=$1
version=$2
sanitize=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
library=$(find "$prefix" -name "liblomitra.so.$version.0" -type f)
[[ -n $library ]] || fail "liblomitra.so.$version.0 is not installed"
libdir=$(dirname "$library")
[[ $(readlink "$libdir/liblomitra.so.1") == "liblomitra.so.$version.0" ]] || fail "no liblomitra.so.1 link"
[[ -L $libdir/liblomitra.so ]] || fail "no liblomitra.so link"
readelf -d "$library" | grep -q 'SONAME.*\[liblomitra\.so\.1\]' || fail "the SONAME is not liblomitra.so.1"
for header in lomitra.hpp lomitra.h lomitra_export.h; do
  [[ -s $prefix/include/lomitra/$header ]] || fail "include/lomitra/$header is not installed"
done

# Only the public interface is exported: the C functions, namespace lomitra
# and the type information of its exception.
exported=$(nm -D --defined-only "$library" | awk '{print $3}' | c++filt)
strays=$(grep -vE '^(lomitra_[a-z_]+|lomitra::.*|(typeinfo|typeinfo name|vtable) for lomitra::UnknownCrs|LOMITRA_1\.0)(@@LOMITRA_1\.0)?$' \
         <<<"$exported" || true)
[[ -z $strays ]] || fail "exported beyond the public interface: $strays"
grep -q '^lomitra_transform@@LOMITRA_1.0$' <<<"$exported" || fail "lomitra_transform is not exported"

flags=()
[[ $sanitize == ON ]] && flags=(-fsanitize=address,undefined)
expected_c="0 6697187.001 209948.322 1 $version"
expected_cpp="0 6697187.001 209948.322 refused $version"

# C++ through find_package(Lomitra).
cmake -S "$here/outside" -B "$work/cpp" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_CXX_FLAGS="${flags[*]}" >/dev/null || fail "find_package(Lomitra) fails"
cmake --build "$work/cpp" >/dev/null || fail "the C++ program does not build"
out=$("$work/cpp/anchor") || fail "the C++ program fails"
[[ $out == "$expected_cpp" ]] || fail "C++: \"$out\", not \"$expected_cpp\""

# C through pkg-config.
export PKG_CONFIG_PATH=$libdir/pkgconfig
[[ $(pkg-config --modversion lomitra) == "$version" ]] || fail "pkg-config --modversion lomitra"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Wextra -pedantic -Werror "${flags[@]}" "$here/outside/anchor.c" \
   $(pkg-config --cflags --libs lomitra) -o "$work/anchor_c" || fail "the C program does not build"
out=$(LD_LIBRARY_PATH=$libdir "$work/anchor_c") || fail "the C program fails"
[[ $out == "$expected_c" ]] || fail "C: \"$out\", not \"$expected_c\""
echo "installed liblomitra.so.$version.0; C++ (find_package) and C (pkg-config): $out"

# The Python module, where it is built (and not with the sanitizers, which
# Debian's python3 lacks): installed beside the library, where python3 looks
# under a prefix other than /usr; it finds the library by its RUNPATH.
module=$(find "$prefix" -name '_lomitra.*.so')
if [[ -n $module && $sanitize != ON ]]; then
  python_dir=$(/usr/bin/python3 -c 'import sys; print(f"lib/python{sys.version_info[0]}.{sys.version_info[1]}/dist-packages")')
  [[ $(dirname "$module") == "$prefix/$python_dir/lomitra" ]] || fail "the Python module is in $(dirname "$module")"
  out=$(cd / && env -u LD_LIBRARY_PATH PYTHONPATH="$prefix/$python_dir" /usr/bin/python3 -c 'import lomitra
n, e, s = lomitra.Transformer("EPSG:2393", "EPSG:3067").transform([6700000.0], [3210000.0])
print(lomitra.__file__, f"{n[0]:.3f} {e[0]:.3f} {s[0]}")') || fail "the installed Python module fails: $out"
  [[ $out == "$prefix/$python_dir/lomitra/__init__.py 6697187.001 209948.322 0" ]] || fail "Python: \"$out\""
  echo "Python: $out"
fi
