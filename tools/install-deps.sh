#!/usr/bin/env bash
# Installs Debian packages if missing: those Lomitra needs to build and test,
# or the ones named as arguments (the checks that need more tools name theirs).
set -euo pipefail
packages=(g++ cmake make googletest libgtest-dev libbenchmark-dev qt6-base-dev
          libqt6printsupport6 fonts-liberation desktop-file-utils dpkg-dev lintian gcc pkgconf
          libgdal-dev gdal-bin python3-gdal
          pybind11-dev python3-dev python3-numpy python3-pandas python3-pytest python3-dask
          python3-distributed)
if (($#)); then packages=("$@"); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get -o DPkg::Lock::Timeout=600 update -qq
  apt-get -o DPkg::Lock::Timeout=600 install -y -qq "${missing[@]}" >/dev/null
fi
