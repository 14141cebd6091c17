#!/usr/bin/env bash
# Runs the end-to-end tests under Wine against a Windows build directory.
#   scripts/e2e.sh [BUILD_DIR] [-k NAME]   (default BUILD_DIR: build/win-$LMP_WIN_ARCH)
# The build must contain demo/rpg_rt.exe, tests/lmp_probe.exe and tests/same_process_print.exe.
# LMP_WIN_ARCH and LMP_WINE (the Wine loader) come from scripts/wine-env.sh; LMP_DISPLAY
# names an existing X display to use instead of a private Xvfb.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/wine-env.sh"
build=$here/build/win-$LMP_WIN_ARCH
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    build=$1
    shift
fi
for program in demo/rpg_rt.exe tests/lmp_probe.exe tests/same_process_print.exe; do
    if [ ! -f "$build/$program" ]; then
        echo "missing $build/$program: build the Windows targets first" >&2
        exit 2
    fi
done
exec /usr/bin/python3 "$here/tests/e2e/run.py" "$(cd "$build" && pwd)" "$@"
