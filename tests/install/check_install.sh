#!/usr/bin/env bash
# Installs the build into a temporary folder (DESTDIR) and checks what a
# desktop gets: both programs, the desktop entry (desktop-file-validate), the
# icon and the manual pages (rendered by man -l where man is installed); then
# builds the Debian packages with cpack and checks their files and
# dependencies (python3-lomitra's module converts the anchor point from its
# unpacked package), and that lintian reports no error in them.
# Usage: check_install.sh BUILD_DIR VERSION WITH_WINDOWS(ON/OFF)
set -euo pipefail
build=$1
version=$2
windows=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# The public anchor point through the module lomitra, and where it came from.
python_anchor='import os, lomitra
n, e, s = lomitra.Transformer("YKJ", "ETRS-TM35FIN").transform([6700000.0], [3210000.0])
print(os.path.dirname(lomitra.__file__), f"{n[0]:.3f} {e[0]:.3f} {s[0]}")'

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
root="$work/root/usr"
programs=(lomitra-batch)
[[ $windows == ON || $windows == 1 || $windows == TRUE ]] && programs+=(lomitra)
for program in "${programs[@]}"; do
  [[ -x $root/bin/$program ]] || fail "bin/$program is not installed"
done
desktop=$root/share/applications/lomitra.desktop
icon=$root/share/icons/hicolor/scalable/apps/lomitra.svg
manual=$root/share/man/man1/lomitra-batch.1.gz
manuals=("$manual")
[[ ${#programs[@]} -eq 2 ]] && manuals+=("$root/share/man/man1/lomitra.1.gz")
for file in "$desktop" "$icon" "${manuals[@]}" "$root/share/doc/lomitra/copyright" \
            "$root/share/doc/lomitra/changelog.gz"; do
  [[ -s $file ]] || fail "${file#"$work/root"} is not installed"
done

# The desktop entry: valid, Finnish, and naming the installed program and icon.
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
grep -qx 'Exec=lomitra' "$desktop" || fail "Exec is not the installed lomitra"
grep -qx 'Icon=lomitra' "$desktop" || fail "Icon is not the installed lomitra.svg"
grep -q '^Comment=Muuntaa koordinaatteja' "$desktop" || fail "no Finnish comment"
grep -q '^Categories=.*Science;' "$desktop" || fail "not in the Science category"
grep -q '<svg ' "$icon" || fail "the icon is no SVG"

# lomitra-gis, where it is built: installed with its manual page, and it runs.
if [[ -x $build/bin/lomitra-gis ]]; then
  [[ -x $root/bin/lomitra-gis && -s $root/share/man/man1/lomitra-gis.1.gz ]] || fail "lomitra-gis is not installed"
  [[ $("$root/bin/lomitra-gis" --version) == "lomitra-gis $version (GDAL "* ]] ||
    fail "lomitra-gis --version"
fi

# The installed batch program runs and knows its version.
[[ $("$root/bin/lomitra-batch" --version) == "lomitra-batch $version" ]] || fail "lomitra-batch --version"

# The manual pages render.
if command -v man >/dev/null; then
  rendered=$(MANWIDTH=80 man -l "$manual" 2>&1) || fail "man -l fails: $rendered"
  grep -q 'LOMITRA-BATCH(1)' <<<"$rendered" || fail "man -l shows no heading"
  grep -q -- '--columns S:L,S:L\[,S:L\]' <<<"$rendered" || fail "man -l shows no option list"
  grep -q -- '--encoding auto|utf-8|cp1252' <<<"$rendered" || fail "man -l shows no --encoding"
  grep -q 'ESIMERKKEJÄ' <<<"$rendered" || fail "man -l shows no examples"
  for page in "${manuals[@]:1}"; do
    rendered=$(MANWIDTH=80 man -l "$page" 2>&1) || fail "man -l fails: $rendered"
    grep -q 'LOMITRA(1)' <<<"$rendered" || fail "man -l shows no heading for lomitra"
  done
else
  echo "man is not installed: the manual page was not rendered"
fi

# The Debian packages: each with its files, and its dependencies declared.
if command -v dpkg-shlibdeps >/dev/null; then
  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null)
  # The package NAME: its file, contents and dependencies.
  package_of() { ls "$work"/package/"$1"_*.deb; }
  contents_of() { dpkg-deb -c "$(package_of "$1")"; }
  depends_of() { dpkg-deb -f "$(package_of "$1")" Depends; }
  # Fails unless package $1 carries every path (extended regular expressions) after it.
  carries() {
    local name=$1 contents path
    shift
    contents=$(contents_of "$name")
    for path in "$@"; do
      grep -qE " $path( ->.*)?\$" <<<"$contents" || fail "the package $name lacks $path"
    done
  }
  carries lomitra ./usr/bin/lomitra-batch ./usr/share/applications/lomitra\.desktop \
          ./usr/share/icons/hicolor/scalable/apps/lomitra\.svg ./usr/share/man/man1/lomitra-batch\.1\.gz \
          ./usr/share/doc/lomitra/copyright ./usr/share/doc/lomitra/changelog\.gz
  depends=$(depends_of lomitra)
  grep -q 'libstdc++6' <<<"$depends" || fail "lomitra does not depend on the C++ runtime: $depends"
  if [[ ${#programs[@]} -eq 2 ]]; then
    carries lomitra ./usr/bin/lomitra
    grep -q 'libqt6widgets6' <<<"$depends" || fail "lomitra does not depend on Qt 6 Widgets: $depends"
  fi
  # The library, and what building against it needs.
  carries liblomitra1 './usr/lib[^ ]*/liblomitra\.so\.1' ./usr/share/doc/liblomitra1/copyright
  dpkg-deb -I "$(package_of liblomitra1)" shlibs | grep -q '^liblomitra 1 liblomitra1' ||
    fail "liblomitra1 has no shlibs for liblomitra"
  dpkg-deb -I "$(package_of liblomitra1)" triggers | grep -qx 'activate-noawait ldconfig' ||
    fail "liblomitra1 does not trigger ldconfig"
  carries liblomitra-dev './usr/lib[^ ]*/liblomitra\.so' ./usr/include/lomitra/lomitra\.hpp \
          ./usr/include/lomitra/lomitra\.h './usr/lib[^ ]*/cmake/Lomitra/LomitraConfig\.cmake' \
          './usr/lib[^ ]*/pkgconfig/lomitra\.pc'
  grep -q "liblomitra1 (= $version)" <<<"$(depends_of liblomitra-dev)" || fail "liblomitra-dev does not depend on liblomitra1"
  for name in lomitra python3-lomitra lomitra-gis; do
    [[ -e $(package_of $name 2>/dev/null | head -1) ]] || continue
    ! contents_of $name | grep -q 'liblomitra\.so' || fail "$name carries the library too"
    ! grep -q 'libgdal' <<<"$(depends_of $name)" || [[ $name == lomitra-gis ]] || fail "$name depends on GDAL"
  done
  echo "packages: $(cd "$work/package" && ls ./*.deb | tr '\n' ' ')"

  # lomitra-gis, where it is built: a package of its own that brings GDAL.
  if [[ -x $build/bin/lomitra-gis ]]; then
    carries lomitra-gis ./usr/bin/lomitra-gis ./usr/share/man/man1/lomitra-gis\.1\.gz
    grep -q 'libgdal' <<<"$(depends_of lomitra-gis)" || fail "lomitra-gis does not depend on GDAL"
  fi

  # The Python module in python3-lomitra, importable by Debian's python3
  # from its package unpacked alone.
  if [[ -n $(package_of python3-lomitra 2>/dev/null || true) ]]; then
    python_depends=$(depends_of python3-lomitra)
    for dependency in python3-numpy 'python3 (>= 3'; do
      grep -qF "$dependency" <<<"$python_depends" || fail "python3-lomitra does not depend on $dependency: $python_depends"
    done
    carries python3-lomitra './usr/lib/python3/dist-packages/lomitra/_lomitra\.[^ ]*\.so'
    if readelf -d "$build"/python/lomitra/_lomitra.*.so | grep -q libasan; then
      echo "the Python module is built with AddressSanitizer: not imported here"
    else
      dpkg-deb -x "$(package_of python3-lomitra)" "$work/unpacked"
      out=$(cd / && PYTHONPATH="$work/unpacked/usr/lib/python3/dist-packages" /usr/bin/python3 -c "$python_anchor") ||
        fail "the module of python3-lomitra fails: $out"
      [[ $out == "$work/unpacked/usr/lib/python3/dist-packages/lomitra 6697187.001 209948.322 0" ]] ||
        fail "python3-lomitra: \"$out\""
    fi
  fi

  if command -v lintian >/dev/null; then
    # Errors fail the check; warnings and notes are shown.
    report=$(lintian --tag-display-limit 0 "$work"/package/*.deb 2>&1 | grep -v 'running with root privileges' || true)
    [[ -n $report ]] && echo "$report"
    ! grep -q '^E: ' <<<"$report" || fail "lintian reports errors"
  else
    echo "lintian is not installed: the packages were not checked"
  fi
else
  echo "dpkg-shlibdeps (dpkg-dev) is not installed: no Debian package was built"
fi
echo "installed and packaged: ${programs[*]}, desktop entry, icon, manual page, liblomitra"
