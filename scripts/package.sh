#!/usr/bin/env bash
# Builds the Windows program and makes the package build/rekal-<version>-win64.zip: rekal.exe,
# rekal-cli.exe, REKALWIN.CHM, the sound effects, the sample book and a Japanese read-me.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${REKAL_BUILD:-$ROOT/build}

"$ROOT/scripts/build.sh" --win-only
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/win/CMakeCache.txt")
cp "$BUILD/win/rekal-$version-win64.zip" "$BUILD/"
echo "$BUILD/rekal-$version-win64.zip"
