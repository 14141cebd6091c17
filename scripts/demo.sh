#!/usr/bin/env bash
# The main job: builds the Windows programs and the stand-in game, then plays the game with
# the starter and the viewer under Wine (on the current X display, or a virtual one when
# there is none) and leaves screenshots in out/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
source scripts/wine-env.sh

build=build/win-$LMP_WIN_ARCH
echo "demo: building the Windows programs ($LMP_WIN_ARCH) in $build"
if [ "$LMP_WIN_ARCH" != i686 ]; then
    echo "demo: this machine's Wine cannot start 32-bit programs; using the 64-bit build of the same sources"
fi
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-$LMP_WIN_ARCH.cmake >/dev/null
cmake --build "$build" -j"${LMP_JOBS:-2}" >/dev/null

out=out/screenshots
rm -rf "$out"
mkdir -p "$out"
LMP_WINE=$LMP_WINE /usr/bin/python3 scripts/demo.py "$build" "$out"
echo "demo: screenshots in $(pwd)/$out"
