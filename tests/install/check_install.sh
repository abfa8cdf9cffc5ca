#!/usr/bin/env bash
# Installs the build into a temporary folder (DESTDIR) and checks what a
# desktop gets: both programs, the desktop entry (desktop-file-validate), the
# icon and the manual pages (rendered by man -l where man is installed); then
# builds the Debian package with cpack and checks its files (the library's
# among them) and dependencies, and that lintian reports no error in it.
# Usage: check_install.sh BUILD_DIR VERSION WITH_WINDOWS(ON/OFF)
set -euo pipefail
build=$1
version=$2
windows=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

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

# The Debian package: the same files, and its dependencies declared.
if command -v dpkg-shlibdeps >/dev/null; then
  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null)
  package=$(ls "$work"/package/lomitra_*.deb)
  contents=$(dpkg-deb -c "$package")
  for path in ./usr/bin/lomitra-batch ./usr/share/applications/lomitra.desktop \
              ./usr/share/icons/hicolor/scalable/apps/lomitra.svg ./usr/share/man/man1/lomitra-batch.1.gz \
              ./usr/share/doc/lomitra/copyright ./usr/share/doc/lomitra/changelog.gz; do
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
  # lomitra-gis, where it is built, in a package of its own that brings GDAL.
  if [[ -x $build/bin/lomitra-gis ]]; then
    gis_package=$(ls "$work"/package/lomitra-gis_*.deb)
    gis_contents=$(dpkg-deb -c "$gis_package")
    for path in ./usr/bin/lomitra-gis ./usr/share/man/man1/lomitra-gis.1.gz; do
      grep -q " $path\$" <<<"$gis_contents" || fail "the lomitra-gis package lacks $path"
      grep -q " $path\$" <<<"$contents" && fail "the lomitra package carries $path too"
    done
    gis_depends=$(dpkg-deb -f "$gis_package" Depends)
    grep -q "lomitra (= $version)" <<<"$gis_depends" || fail "lomitra-gis does not depend on lomitra: $gis_depends"
    grep -q 'libgdal' <<<"$gis_depends" || fail "lomitra-gis does not depend on GDAL: $gis_depends"
    grep -q 'libgdal' <<<"$depends" && fail "the lomitra package depends on GDAL: $depends"
    echo "package $(basename "$gis_package"): Depends: $gis_depends"
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
