#!/usr/bin/env bash
# Installs what is missing, then builds the native folder (core, rekal-cli, tests under ASan/UBSan)
# and the Windows folder (rekal.exe, rekal-cli.exe, Windows tests).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${REKAL_BUILD:-$ROOT/build}
JOBS=${REKAL_JOBS:-$(nproc)}

"$ROOT/scripts/install-deps.sh"

if [ "${1:-}" != "--win-only" ]; then
    cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DREKAL_SANITIZE=ON >/dev/null
    cmake --build "$BUILD/native" -j "$JOBS"
fi

"$ROOT/scripts/build-libjpeg-mingw.sh" "$BUILD/win"
cmake -S "$ROOT" -B "$BUILD/win" -G Ninja --toolchain "$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DREKAL_JPEG_PREFIX="$BUILD/win/deps/libjpeg" >/dev/null
cmake --build "$BUILD/win" -j "$JOBS"
