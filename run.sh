#!/usr/bin/env bash
# Builds Lomitra and starts it. Installs what is missing (Debian, as root).
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DLOMITRA_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target lomitra
exec ./build/bin/lomitra "$@"
