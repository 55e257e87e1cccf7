#!/usr/bin/env bash
# Installs every build and test dependency from Debian's packages when it is missing. Idempotent.
set -euo pipefail

packages=(
    g++ cmake make ninja-build pkg-config
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
    googletest libgtest-dev libbenchmark-dev zlib1g-dev libjpeg62-turbo-dev libpng-dev dpkg-dev
    clang libclang-rt-14-dev fp-utils
    wine wine64 fonts-wine xvfb xauth xdotool x11-utils imagemagick
    fonts-ipafont-gothic fonts-ipafont-mincho locales
    sox espeak-ng zip unzip
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Japanese locale for running the program as a Japanese desktop would.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
    $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
fi
