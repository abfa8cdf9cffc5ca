#!/usr/bin/env bash
# Installs the build into a temporary folder (DESTDIR) and checks what a
# desktop gets: both programs, the desktop entry (desktop-file-validate), the
# icon and the manual page (rendered by man -l where man is installed); then
# builds the Debian package with cpack and checks its files (the library's
# among them) and dependencies, and those of python3-lomitra, whose module
# converts the anchor point from the unpacked packages.
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
manual=$root/share/man/man1/lomitra-batch.1
for file in "$desktop" "$icon" "$manual"; do
  [[ -s $file ]] || fail "${file#"$work/root"} is not installed"
done

# The desktop entry: valid, Finnish, and naming the installed program and icon.
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
grep -qx 'Exec=lomitra' "$desktop" || fail "Exec is not the installed lomitra"
grep -qx 'Icon=lomitra' "$desktop" || fail "Icon is not the installed lomitra.svg"
grep -q '^Comment=Muuntaa koordinaatteja' "$desktop" || fail "no Finnish comment"
grep -q '^Categories=.*Science;' "$desktop" || fail "not in the Science category"
grep -q '<svg ' "$icon" || fail "the icon is no SVG"

# The installed batch program runs and knows its version.
[[ $("$root/bin/lomitra-batch" --version) == "lomitra-batch $version" ]] || fail "lomitra-batch --version"

# The manual page renders.
if command -v man >/dev/null; then
  rendered=$(MANWIDTH=80 man -l "$manual" 2>&1) || fail "man -l fails: $rendered"
  grep -q 'LOMITRA-BATCH(1)' <<<"$rendered" || fail "man -l shows no heading"
  grep -q -- '--columns S:L,S:L\[,S:L\]' <<<"$rendered" || fail "man -l shows no option list"
  grep -q 'ESIMERKKEJÄ' <<<"$rendered" || fail "man -l shows no examples"
else
  echo "man is not installed: the manual page was not rendered"
fi

# The Debian package: the same files, and its dependencies declared.
if command -v dpkg-shlibdeps >/dev/null; then
  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null)
  package=$(ls "$work"/package/lomitra_*.deb)
  contents=$(dpkg-deb -c "$package")
  for path in ./usr/bin/lomitra-batch ./usr/share/applications/lomitra.desktop \
              ./usr/share/icons/hicolor/scalable/apps/lomitra.svg ./usr/share/man/man1/lomitra-batch.1; do
    grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
  done
  # The library for other programs: itself, its headers, CMake package and pkg-config file.
  for path in './usr/lib[^ ]*/liblomitra\.so\.1' './usr/include/lomitra/lomitra\.hpp' './usr/include/lomitra/lomitra\.h' \
              './usr/lib[^ ]*/cmake/Lomitra/LomitraConfig\.cmake' './usr/lib[^ ]*/pkgconfig/lomitra\.pc'; do
    grep -qE " $path( ->.*)?\$" <<<"$contents" || fail "the package lacks $path"
  done
  dpkg-deb -I "$package" shlibs | grep -q '^liblomitra 1 lomitra' || fail "the package has no shlibs for liblomitra"
  depends=$(dpkg-deb -f "$package" Depends)
  grep -q 'libstdc++6' <<<"$depends" || fail "the package does not depend on the C++ runtime: $depends"
  if [[ ${#programs[@]} -eq 2 ]]; then
    grep -q ' ./usr/bin/lomitra$' <<<"$contents" || fail "the package lacks ./usr/bin/lomitra"
    grep -q 'libqt6widgets6' <<<"$depends" || fail "the package does not depend on Qt 6 Widgets: $depends"
  fi
  echo "package $(basename "$package"): Depends: $depends"
  # The Python module in python3-lomitra, importable by Debian's python3 from
  # the two packages unpacked (the module finds liblomitra by its RUNPATH).
  python_package=$(ls "$work"/package/python3-lomitra_*.deb 2>/dev/null || true)
  if [[ -n $python_package ]]; then
    python_depends=$(dpkg-deb -f "$python_package" Depends)
    for dependency in "lomitra (= $version)" python3-numpy 'python3 (>= 3'; do
      grep -qF "$dependency" <<<"$python_depends" || fail "python3-lomitra does not depend on $dependency: $python_depends"
    done
    grep -qE ' ./usr/lib/python3/dist-packages/lomitra/_lomitra\.[^ ]*\.so$' <<<"$(dpkg-deb -c "$python_package")" ||
      fail "python3-lomitra lacks the module"
    if readelf -d "$build"/python/lomitra/_lomitra.*.so | grep -q libasan; then
      echo "the Python module is built with AddressSanitizer: not imported here"
    else
      dpkg-deb -x "$package" "$work/unpacked" && dpkg-deb -x "$python_package" "$work/unpacked"
      out=$(cd / && PYTHONPATH="$work/unpacked/usr/lib/python3/dist-packages" /usr/bin/python3 -c "$python_anchor") ||
        fail "the module of python3-lomitra fails: $out"
      [[ $out == "$work/unpacked/usr/lib/python3/dist-packages/lomitra 6697187.001 209948.322 0" ]] ||
        fail "python3-lomitra: \"$out\""
    fi
    echo "package $(basename "$python_package"): Depends: $python_depends"
  fi
else
  echo "dpkg-shlibdeps (dpkg-dev) is not installed: no Debian package was built"
fi
echo "installed and packaged: ${programs[*]}, desktop entry, icon, manual page, liblomitra"
