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

# The last line "N passed, N failed" of a script's log; no such line: the step broke.
count_summary() { # log, name of the step
    local line
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$1" | tail -n 1)
    if [ -z "$line" ]; then broken+=("$2"); failed=$((failed + 1)); return; fi
    passed=$((passed + $(sed -E 's/^([0-9]+) passed.*/\1/' <<<"$line")))
    failed=$((failed + $(sed -E 's/^[0-9]+ passed, ([0-9]+) failed.*/\1/' <<<"$line")))
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
    step "players' package (ZIP of the 32-bit build) and its checks"
    rm -f build/win-i686/lumenpane-*.zip
    if (cd build/win-i686 && cpack >cpack.log 2>&1); then
        python3 tests/package_check.py build/win-i686/lumenpane-*-win32.zip 2>&1 |
            tee build/package.log
        count_summary build/package.log "package check"
    else
        tail -n 20 build/win-i686/cpack.log
        broken+=("package"); failed=$((failed + 1))
    fi
else
    broken+=("32-bit Windows build"); failed=$((failed + 1))
fi

if [ "$LMP_WIN_ARCH" != i686 ]; then
    step "the same programs for 64-bit Windows (this machine's Wine cannot start 32-bit programs)"
    build build/win-$LMP_WIN_ARCH -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-$LMP_WIN_ARCH.cmake ||
        { broken+=("$LMP_WIN_ARCH Windows build"); failed=$((failed + 1)); }
fi

step "unit tests built for Windows ($LMP_WIN_ARCH), run under Wine"
if build build/wintest-$LMP_WIN_ARCH -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-$LMP_WIN_ARCH.cmake \
    -DLMP_MINGW_POSIX=ON -DLMP_UNIT_TESTS_ONLY=ON; then
    scripts/run-windows-unit-tests.sh build/wintest-$LMP_WIN_ARCH | tee build/wintest.log
    count_summary build/wintest.log "Windows unit-test run"
else
    broken+=("Windows unit-test build"); failed=$((failed + 1))
fi

step "end-to-end tests of the real programs under Wine ($LMP_WIN_ARCH)"
if [ -f tests/e2e/run.py ] && [ -d build/win-$LMP_WIN_ARCH ]; then
    LMP_WIN_BUILD=$root/build/win-$LMP_WIN_ARCH /usr/bin/python3 tests/e2e/run.py | tee build/e2e.log
    count_summary build/e2e.log "end-to-end run"
fi

echo
[ ${#broken[@]} -eq 0 ] || echo "broken: ${broken[*]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
