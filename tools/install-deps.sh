#!/usr/bin/env bash
# Installs the Debian packages Lomitra needs to build and test, if missing.
set -euo pipefail
packages=(g++ cmake make googletest libgtest-dev libbenchmark-dev qt6-base-dev
          libqt6printsupport6 fonts-liberation desktop-file-utils dpkg-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
