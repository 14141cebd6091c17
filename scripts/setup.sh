#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, once and quietly.
# Safe to run again: it only installs what is missing.
set -euo pipefail

# Left when the optional packages could not be installed, so that later runs do not try again
# at every start; removing it asks again.
marker=/var/tmp/lumenpane-setup-optional-refused

packages=(cmake g++ make python3 libgtest-dev libbenchmark-dev libpng-dev clang-format
          clang libclang-rt-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xauth
          imagemagick xserver-xephyr xdotool libgl1-mesa-dri)
# 32-bit Wine runs the shipped programs themselves, but only on a machine that starts 32-bit
# Linux programs, and its i386 packages can lag behind a mirror's amd64 ones for a while:
# without it the tests run the 64-bit build under wine64 (wine-env.sh), so it may fail alone.
# Its Direct3D needs the 32-bit OpenGL and software rasteriser: without them the 32-bit viewer
# finds no Direct3D device and presents with GDI.
optional=(wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386)

# A package installed for two architectures (the OpenGL ones beside 32-bit Wine) is named with
# the machine's own to be found.
native=$(dpkg --print-architecture)
installed() { dpkg -s "$1" >/dev/null 2>&1 || dpkg -s "$1:$native" >/dev/null 2>&1; }

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
missing_optional=()
for p in "${optional[@]}"; do
    installed "$p" || missing_optional+=("$p")
done
if [ ${#missing[@]} -eq 0 ] && { [ ${#missing_optional[@]} -eq 0 ] || [ -e "$marker" ]; }; then
    echo "setup: all packages present"
    exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]} ${missing_optional[*]} (this takes a few minutes the first time)"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A list that fails to download (a mirror in the middle of a sync) leaves the older one in use.
$sudo apt-get update -qq || echo "setup: some package lists could not be updated; going on"
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ ${#missing_optional[@]} -gt 0 ]; then
    if $sudo apt-get install -y -qq --no-install-recommends "${missing_optional[@]}" \
        >/dev/null 2>&1; then
        rm -f "$marker"
    else
        echo "setup: ${missing_optional[*]} could not be installed; the tests use 64-bit Wine"
        $sudo touch "$marker" 2>/dev/null || true
    fi
fi
echo "setup: done"
