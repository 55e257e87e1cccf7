#!/usr/bin/env bash
# Unpacks the Windows package into an empty folder with a Japanese name and runs test_package.exe
# on it under Wine: run-package-test.sh ZIP TEST_EXE
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="$work/暗記ドリル テスト"
mkdir -p "$folder"
unzip -q "$1" -d "$folder" || exit 1
inner=$(find "$folder" -mindepth 1 -maxdepth 1 -type d | head -n 1)
wine "$2" "$(winepath -w "$inner")"
