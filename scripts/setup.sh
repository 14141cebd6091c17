#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, once and quietly.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(cmake g++ make python3 libgtest-dev libbenchmark-dev libpng-dev clang-format
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb xauth
          imagemagick xserver-xephyr xdotool)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all packages present"
    exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]} (this takes a few minutes the first time)"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
