#!/bin/sh
# Compiles the help file: make-chm.sh SOURCE_FOLDER OUTPUT_CHM
# The pages are written in UTF-8; the help file holds them in code page 932 (the help viewer reads
# the contents, the index and the titles in the code page of the file's language, Japanese), so
# every text file is converted and its charset line changed on the way. chmcmd stores the topic of
# each context number as the project folder's full path followed by the page's name; run in a
# private view of the file system whose root is the project folder, that path is the page's own
# path inside the help file ("/exam.html").
set -eu
src=$1
out=$2
stage="$out.stage"
rm -rf "$stage"
mkdir -p "$stage/usr"
for f in "$src"/*; do
    name=$(basename "$f")
    case "$name" in
    *.html | *.hhc | *.hhk | *.hhp | *.css | *.h)
        sed 's/charset=utf-8/charset=Shift_JIS/' "$f" | iconv -f UTF-8 -t CP932 >"$stage/$name" ;;
    *) cp "$f" "$stage/$name" ;;
    esac
done
for d in bin lib lib64; do
    [ -L "/$d" ] && ln -s "$(readlink "/$d")" "$stage/$d"
done
chmcmd=$(readlink -f "$(command -v chmcmd)")
case "$chmcmd" in /usr/*) ;; *) chmcmd=/nowhere ;; esac
if ! unshare --map-root-user --mount sh -c 'mount --rbind /usr "$1/usr" && exec chroot "$1" "$2" --no-html-scan /REKALWIN.hhp' \
    sh "$stage" "$chmcmd" >"$stage.log" 2>&1; then
    echo "make-chm.sh: no private file-system view here; context topics will carry the build folder's path" >&2
    (cd "$stage" && chmcmd --no-html-scan REKALWIN.hhp) >"$stage.log" 2>&1 || true
fi
if [ ! -s "$stage/REKALWIN.CHM" ]; then
    cat "$stage.log" >&2
    echo "make-chm.sh: chmcmd made no help file" >&2
    exit 1
fi
mv "$stage/REKALWIN.CHM" "$out"
rm -rf "$stage" "$stage.log"
