#!/usr/bin/env bash
# Puts the Windows package together:
#   make-package.sh ZIP VERSION REKAL_EXE CLI_EXE HELP_FILE
# The zip holds one folder rekal-<version>-win64 with the two programs, the help file, the four
# sound effects, the sample book with its media and the Japanese read-me (CP932, CR LF).
#   make-package.sh --folder DIR VERSION REKAL_EXE CLI_EXE HELP_FILE
# fills DIR with the same files instead (scripts/run.sh runs the program from such a folder).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)

fill_folder() { # DIR VERSION REKAL_EXE CLI_EXE HELP_FILE
    local folder=$1
    mkdir -p "$folder/sample"
    cp "$3" "$folder/rekal.exe"
    cp "$4" "$folder/rekal-cli.exe"
    cp "$5" "$folder/REKALWIN.CHM"
    cp "$ROOT"/resources/sounds/{EXAM,RIGHT,WRONG,RESULT}.WAV "$folder/"
    cp "$ROOT"/samples/{sample.rkf,fuji.png,sunset.jpg,library.wav} "$folder/sample/"
    sed "s/@VERSION@/$2/; s/\$/\r/" "$ROOT/package/README.TXT" | iconv -f UTF-8 -t CP932 >"$folder/README.TXT"
}

if [ "$1" = --folder ]; then
    shift
    fill_folder "$@"
    exit 0
fi

zip_file=$(realpath -m "$1")
name=$(basename "$zip_file" .zip)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fill_folder "$work/$name" "${@:2}"
rm -f "$zip_file"
(cd "$work" && zip -q -r -X "$zip_file.part" "$name")
mv "$zip_file.part" "$zip_file"
