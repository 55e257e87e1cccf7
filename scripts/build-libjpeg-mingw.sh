#!/bin/bash
# Builds the static libjpeg (6b API, from Debian's libjpeg-turbo source package) for the MinGW-w64
# target and installs it into BUILD_DIR/deps/libjpeg (lib/libjpeg.a, include/jpeglib.h, jmorecfg.h,
# jerror.h, jconfig.h). Does nothing when that prefix is already complete.
#
# usage: scripts/build-libjpeg-mingw.sh BUILD_DIR
# The MinGW toolchain file is cmake/mingw-w64.cmake of this repository unless REKAL_TOOLCHAIN names
# another one. The source comes from the Debian mirror the machine's apt already uses, through a
# private apt configuration kept inside BUILD_DIR (the system's apt state is not touched).
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi

repo=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
build_dir=$(cd "$1" && pwd)
prefix="$build_dir/deps/libjpeg"
work="$build_dir/deps/libjpeg-build"

complete() {
    local f
    for f in lib/libjpeg.a include/jpeglib.h include/jmorecfg.h include/jerror.h include/jconfig.h; do
        [ -f "$prefix/$f" ] || return 1
    done
}

if complete; then
    exit 0
fi

toolchain=${REKAL_TOOLCHAIN:-$repo/cmake/mingw-w64.cmake}
if [ ! -f "$toolchain" ]; then
    # No project toolchain yet: a minimal one is enough for a static C library.
    toolchain="$work/mingw-w64-minimal.cmake"
    mkdir -p "$work"
    cat >"$toolchain" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
EOF
fi

# --- fetch the source package with a private apt configuration ---------------------------------
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
# The mirror serving <codename>/main to this machine, as apt reports it.
mirror=$(apt-cache policy 2>/dev/null | awk -v want="$codename/main" '$3 == want { print $2; exit }')
if [ -z "$mirror" ]; then
    echo "build-libjpeg-mingw: no apt source for $codename/main found on this machine" >&2
    exit 1
fi

apt_root="$work/apt"
mkdir -p "$apt_root/lists/partial" "$apt_root/cache/archives/partial" "$work/src"
echo "deb-src $mirror $codename main" >"$apt_root/sources.list"
apt_opts=(
    -o "Dir::Etc::SourceList=$apt_root/sources.list"
    -o "Dir::Etc::SourceParts=/dev/null"
    -o "Dir::State::Lists=$apt_root/lists"
    -o "Dir::Cache=$apt_root/cache"
    -o "Debug::NoLocking=1"
    -o "APT::Sandbox::User=root"
)

srcdir=$(find "$work/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
if [ -z "$srcdir" ]; then
    apt-get "${apt_opts[@]}" -qq update
    (cd "$work/src" && apt-get "${apt_opts[@]}" -qq source libjpeg-turbo >/dev/null)
    srcdir=$(find "$work/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
fi
if [ -z "$srcdir" ] || [ ! -f "$srcdir/CMakeLists.txt" ]; then
    echo "build-libjpeg-mingw: the libjpeg-turbo source was not unpacked" >&2
    exit 1
fi

# --- cross-build the static library ----------------------------------------------------------
cmake -S "$srcdir" -B "$work/build" --toolchain "$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    >"$work/configure.log"
cmake --build "$work/build" --target jpeg-static -j2 >"$work/build.log"

# --- install into the prefix, the library last so that a partial copy is never "complete" ------
mkdir -p "$prefix/include" "$prefix/lib"
cp "$srcdir/jpeglib.h" "$srcdir/jmorecfg.h" "$srcdir/jerror.h" "$work/build/jconfig.h" "$prefix/include/"
cp "$work/build/libjpeg.a" "$prefix/lib/libjpeg.a.tmp"
mv "$prefix/lib/libjpeg.a.tmp" "$prefix/lib/libjpeg.a"
echo "build-libjpeg-mingw: installed into $prefix"
