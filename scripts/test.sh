#!/usr/bin/env bash
# Runs every test: native unit tests, the same under the address and undefined-behaviour
# sanitizers, the unit tests built for Windows under Wine, and the end-to-end tests of the
# real programs under Wine on a virtual screen. Installs what it needs first.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${LMP_JOBS:-2}

scripts/setup.sh || exit 1
source scripts/wine-env.sh

passed=0
failed=0
broken=()

step() { echo; echo "=== $*"; }

# ctest's summary: "NN% tests passed, F tests failed out of T".
count_ctest() {
    local log=$1 line total bad
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
}

build() { # dir, cmake options...
    local dir=$1
    shift
    cmake -S . -B "$dir" "$@" >"$dir.configure.log" 2>&1 &&
        cmake --build "$dir" -j"$jobs" >"$dir.build.log" 2>&1 || {
        tail -n 40 "$dir.configure.log" "$dir.build.log" 2>/dev/null
        return 1
    }
}

mkdir -p build

step "native build and unit tests"
if build build/native; then
    (cd build/native && ctest -j"$jobs" --output-on-failure) | tee build/native.ctest.log
    count_ctest build/native.ctest.log
else
    broken+=("native build"); failed=$((failed + 1))
fi

step "native unit tests under the address and undefined-behaviour sanitizers"
if build build/sanitize -DLMP_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
    (cd build/sanitize && ctest -j"$jobs" --output-on-failure) | tee build/sanitize.ctest.log
    count_ctest build/sanitize.ctest.log
else
    broken+=("sanitizer build"); failed=$((failed + 1))
fi

step "shipped 32-bit Windows programs"
if build build/win-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake; then
    ls -l build/win-i686/src/*.exe
else
    broken+=("32-bit Windows build"); failed=$((failed + 1))
fi

if [ "$LMP_WIN_ARCH" != i686 ]; then
    step "the same programs for 64-bit Windows (this machine's Wine cannot start 32-bit programs)"
    build build/win-$LMP_WIN_ARCH -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-$LMP_WIN_ARCH.cmake ||
        { broken+=("$LMP_WIN_ARCH Windows build"); failed=$((failed + 1)); }
fi

step "unit tests built for Windows ($LMP_WIN_ARCH), run under Wine"
export WINEPREFIX=${LMP_WINEPREFIX:-$root/build/wineprefix-$LMP_WIN_ARCH} WINEDEBUG=-all
if build build/wintest-$LMP_WIN_ARCH -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-$LMP_WIN_ARCH.cmake \
    -DLMP_MINGW_POSIX=ON -DLMP_UNIT_TESTS_ONLY=ON; then
    [ -d "$WINEPREFIX" ] || "$LMP_WINE" wineboot -u >/dev/null 2>&1
    list=build/wintest-$LMP_WIN_ARCH/tests/unit-tests.txt
    [ -s "$list" ] || { broken+=("no Windows unit-test programs"); failed=$((failed + 1)); }
    for name in $(cat "$list" 2>/dev/null); do
        exe=build/wintest-$LMP_WIN_ARCH/tests/$name
        log=build/$(basename "$exe").log
        timeout 600 "$LMP_WINE" "$exe" >"$log" 2>&1
        ok=$(grep -oE '^\[  PASSED  \] [0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
        bad=$(grep -oE '^\[  FAILED  \] [0-9]+ tests?,' "$log" | grep -oE '[0-9]+' || echo 0)
        if [ "${ok:-0}" -eq 0 ] && [ "${bad:-0}" -eq 0 ]; then bad=1; fi
        echo "$(basename "$exe"): ${ok:-0} passed, ${bad:-0} failed"
        [ "${bad:-0}" -eq 0 ] || tail -n 30 "$log"
        passed=$((passed + ${ok:-0}))
        failed=$((failed + ${bad:-0}))
    done
else
    broken+=("Windows unit-test build"); failed=$((failed + 1))
fi

step "end-to-end tests of the real programs under Wine ($LMP_WIN_ARCH)"
if [ -f tests/e2e/run.py ] && [ -d build/win-$LMP_WIN_ARCH ]; then
    LMP_WIN_BUILD=$root/build/win-$LMP_WIN_ARCH /usr/bin/python3 tests/e2e/run.py | tee build/e2e.log
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' build/e2e.log | tail -n 1)
    if [ -n "$line" ]; then
        passed=$((passed + $(sed -E 's/^([0-9]+) passed.*/\1/' <<<"$line")))
        failed=$((failed + $(sed -E 's/^[0-9]+ passed, ([0-9]+) failed.*/\1/' <<<"$line")))
    else
        broken+=("end-to-end run"); failed=$((failed + 1))
    fi
fi

echo
[ ${#broken[@]} -eq 0 ] || echo "broken: ${broken[*]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
