#!/usr/bin/env bash
# Runs every unit-test program of a Windows build under Wine, all in one private, throw-away
# Wine prefix, prints each program's counts and ends with the line "N passed, N failed" over
# the tests of all programs. Fails if any test failed.
#
#   scripts/run-windows-unit-tests.sh [BUILD_DIR]   (default: build/wintest-$LMP_WIN_ARCH)
#
# The architecture and the Wine loader come from scripts/wine-env.sh (LMP_WIN_ARCH,
# LMP_WINE). LMP_WINEPREFIX names a prefix to use (and keep) instead of a throw-away one.
# The programs are those listed in BUILD_DIR/tests/unit-tests.txt (written by
# tests/CMakeLists.txt); without that list, every .exe directly in BUILD_DIR/tests. A
# program that ends without its summary (a crash, a hang cut off after ten minutes) counts
# as one failed test, as does one that reports no failure but exits with an error.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"

build=${1:-$here/../build/wintest-$LMP_WIN_ARCH}
if [ $# -gt 1 ] || [ ! -d "$build/tests" ]; then
    echo "usage: $0 [BUILD_DIR]   (a Windows build with tests/; default build/wintest-$LMP_WIN_ARCH)" >&2
    exit 2
fi
tests_dir=$(cd "$build/tests" && pwd)
if ! "$LMP_WINE" --version >/dev/null 2>&1; then
    echo "$0: the Wine loader $LMP_WINE does not start" >&2
    exit 2
fi

if [ -f "$tests_dir/unit-tests.txt" ]; then
    programs=$(sed -e 's/[[:space:]]*$//' -e '/^$/d' "$tests_dir/unit-tests.txt")
else
    programs=$(cd "$tests_dir" && ls -- *.exe 2>/dev/null)
fi
if [ -z "$programs" ]; then
    echo "$0: no unit-test programs in $tests_dir" >&2
    echo "0 passed, 1 failed"
    exit 1
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/lmp-wintest.XXXXXX")
prefix=${LMP_WINEPREFIX:-$scratch/prefix}
server=$(dirname "$LMP_WINE")/wineserver
[ -x "$server" ] || server=wineserver
cleanup() {
    [ -n "${LMP_WINEPREFIX:-}" ] || WINEPREFIX="$prefix" "$server" -k 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

echo "Wine prefix $prefix ($LMP_WIN_ARCH, $LMP_WINE)"
"$LMP_WINE" wineboot -u >/dev/null 2>&1

# The first number of the last summary line with this marker and text, e.g. 12 of
# "[  PASSED  ] 12 tests.".
count() { # log, marker, text
    grep -F -- "$2" "$1" | grep -F -- "$3" | tail -n 1 | grep -oE '[0-9]+' | head -n 1
}

passed=0
failed=0
for program in $programs; do
    log=$scratch/$program.log
    if [ ! -f "$tests_dir/$program" ]; then
        echo "$program: missing"
        failed=$((failed + 1))
        continue
    fi
    timeout 600 "$LMP_WINE" "$tests_dir/$program" --gtest_brief=1 </dev/null >"$log" 2>&1
    code=$?
    ran=$(count "$log" '[==========]' ' ran.')
    ok=$(count "$log" '[  PASSED  ]' ' test')
    skipped=$(count "$log" '[  SKIPPED ]' ' test')
    bad=$(( ${ran:-0} - ${ok:-0} - ${skipped:-0} ))
    if [ -z "$ran" ] || { [ "$bad" -eq 0 ] && [ "$code" -ne 0 ]; }; then
        bad=$((bad + 1))
    fi
    echo "$program: ${ok:-0} passed, $bad failed${skipped:+, $skipped skipped}"
    if [ "$bad" -ne 0 ]; then
        echo "--- exit code $code, the end of its output:"
        tail -n 40 "$log"
    fi
    passed=$((passed + ${ok:-0}))
    failed=$((failed + bad))
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
