#!/bin/sh
# Runs every unit-test program of a Windows (x86_64 MinGW) build under 64-bit Wine, each in
# the same private, throw-away Wine prefix, and fails if any of them fails.
#
#   scripts/run-windows-unit-tests.sh BUILD_DIR
#
# The programs are those listed in BUILD_DIR/tests/unit-tests.txt (written by
# tests/CMakeLists.txt); without that list, every .exe directly in BUILD_DIR/tests.
set -u

if [ $# -ne 1 ] || [ ! -d "$1/tests" ]; then
    echo "usage: $0 BUILD_DIR   (a build with tests/, made with the x86_64 MinGW toolchain)" >&2
    exit 2
fi
tests_dir=$(cd "$1/tests" && pwd)
wine=${LMP_WINE64:-/usr/lib/wine/wine64}
if [ ! -x "$wine" ]; then
    echo "$0: no 64-bit Wine at $wine" >&2
    exit 2
fi

if [ -f "$tests_dir/unit-tests.txt" ]; then
    programs=$(sed -e 's/[[:space:]]*$//' -e '/^$/d' "$tests_dir/unit-tests.txt")
else
    programs=$(cd "$tests_dir" && ls -- *.exe 2>/dev/null)
fi
if [ -z "$programs" ]; then
    echo "$0: no unit-test programs in $tests_dir" >&2
    exit 1
fi

prefix=$(mktemp -d "${TMPDIR:-/tmp}/lmp-wine.XXXXXX")
cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null
    rm -rf "$prefix"
}
trap cleanup EXIT INT TERM
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

echo "Preparing a Wine prefix in $prefix"
"$wine" wineboot -u >/dev/null 2>&1

failed=0
for program in $programs; do
    if [ ! -f "$tests_dir/$program" ]; then
        echo "MISSING $program"
        failed=$((failed + 1))
        continue
    fi
    echo "=== $program"
    if "$wine" "$tests_dir/$program" --gtest_brief=1 </dev/null; then
        echo "PASSED $program"
    else
        echo "FAILED $program"
        failed=$((failed + 1))
    fi
done

if [ "$failed" -ne 0 ]; then
    echo "$failed unit-test program(s) failed under Wine" >&2
    exit 1
fi
echo "All unit-test programs passed under Wine"
