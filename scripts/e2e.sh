#!/bin/sh
# Runs the end-to-end tests under Wine against a Windows build directory.
#   scripts/e2e.sh BUILD_DIR
# The build must contain demo/rpg_rt.exe, tests/lmp_probe.exe and tests/same_process_print.exe.
# LMP_WINE picks the Wine loader (default: wine64 for a 64-bit build, wine for a 32-bit one);
# LMP_DISPLAY an existing X display instead of a private Xvfb.
set -eu
if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
for program in demo/rpg_rt.exe tests/lmp_probe.exe tests/same_process_print.exe; do
    if [ ! -f "$build/$program" ]; then
        echo "missing $build/$program: build the Windows targets first" >&2
        exit 2
    fi
done
exec /usr/bin/python3 "$here/tests/e2e/run.py" "$build"
