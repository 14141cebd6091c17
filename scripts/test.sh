#!/usr/bin/env bash
# Runs every test: native unit tests under the address and undefined-behaviour sanitizers,
# the unit tests built for Windows under Wine, and the end-to-end tests of the
# real programs under Wine on a virtual screen. Installs what it needs first.
#
# On two cores the builds take about as long as the end-to-end tests, which mostly wait on
# Wine. So the Windows build those run is made first; then they run in the background while
# the other builds and tests go on at the lowest CPU priority, taking only the time the
# end-to-end tests leave over, so that these see the machine much as they would alone. No
# configuration is built twice. The end-to-end log (build/e2e.log) is shown once
# they have ended; the counts are added up in the same order every time.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${LMP_JOBS:-2}

scripts/setup.sh || exit 1
source scripts/wine-env.sh

passed=0
failed=0
broken=()
timings=()
began=$(date +%s)

step() { echo; echo "=== $*"; }

# Notes how long a stage took since `since` (date +%s), for the list at the end.
took() { # name, since
    timings+=("$1 $(($(date +%s) - $2)) s")
}

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

# Commands run with this in front: nothing at first, the lowest priority once the end-to-end
# tests run beside them: Linux's idle scheduling class, where it is offered, gives the CPU at
# once to any program of theirs that wakes up; nice 19 alone, only after a moment.
prio=()

build() { # dir, target (empty: all), cmake options...
    local dir=$1 target=$2 since
    shift 2
    since=$(date +%s)
    cmake -S . -B "$dir" "$@" >"$dir.configure.log" 2>&1 &&
        "${prio[@]}" cmake --build "$dir" -j"$jobs" ${target:+--target $target} \
            >"$dir.build.log" 2>&1 || {
        tail -n 40 "$dir.configure.log" "$dir.build.log" 2>/dev/null
        return 1
    }
    took "build ${dir#build/}" "$since"
}

ctest_in() { # dir, log
    local since
    since=$(date +%s)
    (cd "$1" && "${prio[@]}" ctest -j"$jobs" --output-on-failure) | tee "$2"
    count_ctest "$2"
    took "ctest ${1#build/}" "$since"
}

e2e_pid=""
soak_pid=""
stop_e2e() { kill $e2e_pid $soak_pid 2>/dev/null; }
trap stop_e2e EXIT
trap 'exit 130' INT TERM

mkdir -p build

step "Windows programs ($LMP_WIN_ARCH) for the end-to-end tests"
if [ "$LMP_WIN_ARCH" != i686 ]; then
    echo "(this machine's Wine cannot start 32-bit programs: the same programs for 64-bit Windows)"
fi
e2e_build=build/win-$LMP_WIN_ARCH
shipped_built=false
if build "$e2e_build" "" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-$LMP_WIN_ARCH.cmake; then
    ls -l "$e2e_build"/src/*.exe
    [ "$LMP_WIN_ARCH" != i686 ] || shipped_built=true
    if [ -f tests/e2e/run.py ]; then
        step "end-to-end tests of the real programs under Wine ($LMP_WIN_ARCH), in the background"
        echo "(their log, build/e2e.log, is shown once they have ended)"
        e2e_since=$(date +%s)
        # The soak, three minutes of waiting on the viewer, runs beside the rest in a session
        # of its own (its own display and Wine prefix): it reads only the viewer's memory, so
        # it runs at a lower priority than the tests that time what they see.
        LMP_WIN_BUILD=$root/$e2e_build nice -n 5 /usr/bin/python3 tests/e2e/run.py -k test_soak \
            >build/e2e-soak.log 2>&1 &
        soak_pid=$!
        LMP_WIN_BUILD=$root/$e2e_build /usr/bin/python3 tests/e2e/run.py -x test_soak \
            >build/e2e.log 2>&1 &
        e2e_pid=$!
        prio=(nice -n 19)
        if chrt --idle 0 true 2>/dev/null; then prio=(chrt --idle 0 "${prio[@]}"); fi
    fi
else
    broken+=("$LMP_WIN_ARCH Windows build"); failed=$((failed + 1))
fi

# One native build, of the unit tests under the address and undefined-behaviour sanitizers:
# they are the native tests. -g1: the sanitizers' reports keep their files and lines without
# the debug information of every local, which made a quarter of this build's time. -O1: a
# quarter less compiling than -O2, the tests' own run as quick (measured: 380 against 492 s of
# compiler CPU, ctest 54 against 52 s). Clang where it is installed (setup.sh installs it):
# it compiled these tests in half GCC's time (184 against 349 s of CPU, the run as quick), its
# undefined-behaviour checks include float-to-integer overflow, and GCC still compiles all
# of the programs' code for Windows below.
native_compiler=()
if command -v clang++ >/dev/null && command -v clang >/dev/null; then
    native_compiler=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
fi
step "native unit tests, under the address and undefined-behaviour sanitizers"
if build build/sanitize lmp_unit_tests -DLMP_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "${native_compiler[@]}"; then
    ctest_in build/sanitize build/sanitize.ctest.log
else
    broken+=("native build"); failed=$((failed + 1))
fi

# GoogleTest needs the -posix compiler; the programs keep the default one, so the unit tests
# for Windows are a build of their own, of them alone. Their run under Wine keeps one core
# busy, so it goes early, beside the end-to-end tests; the builds after it keep both busy
# also once those have ended. They test what the code does, not its speed: -O1, which compiles
# in less time than the programs' -O3.
step "unit tests built for Windows ($LMP_WIN_ARCH), run under Wine"
if build build/wintest-$LMP_WIN_ARCH lmp_unit_tests \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-$LMP_WIN_ARCH.cmake \
    -DLMP_MINGW_POSIX=ON -DLMP_UNIT_TESTS_ONLY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -DNDEBUG"; then
    since=$(date +%s)
    "${prio[@]}" scripts/run-windows-unit-tests.sh build/wintest-$LMP_WIN_ARCH | tee build/wintest.log
    count_summary build/wintest.log "Windows unit-test run"
    took "Windows unit tests" "$since"
else
    broken+=("Windows unit-test build"); failed=$((failed + 1))
fi

if [ "$LMP_WIN_ARCH" != i686 ]; then
    # The two shipped programs alone; the 64-bit build above compiles all the rest. The package
    # then installs them without building everything else first.
    step "shipped 32-bit Windows programs"
    if build build/win-i686 "lumenpane lmp_game_starter" \
        -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
        -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON; then
        ls -l build/win-i686/src/*.exe
        shipped_built=true
    else
        broken+=("32-bit Windows build"); failed=$((failed + 1))
    fi
fi
if $shipped_built; then
    step "players' package (ZIP of the 32-bit build) and its checks"
    rm -f build/win-i686/lumenpane-*.zip
    if (cd build/win-i686 && "${prio[@]}" cpack >cpack.log 2>&1); then
        python3 tests/package_check.py build/win-i686/lumenpane-*-win32.zip 2>&1 |
            tee build/package.log
        count_summary build/package.log "package check"
    else
        tail -n 20 build/win-i686/cpack.log
        broken+=("package"); failed=$((failed + 1))
    fi
fi

if [ -n "$e2e_pid" ]; then
    step "end-to-end tests of the real programs under Wine ($LMP_WIN_ARCH)"
    wait "$e2e_pid" "$soak_pid"
    e2e_pid=""
    soak_pid=""
    cat build/e2e.log build/e2e-soak.log
    # A log's last write is the end of its run.
    timings+=("end-to-end tests $(($(stat -c %Y build/e2e.log) - e2e_since)) s")
    timings+=("soak $(($(stat -c %Y build/e2e-soak.log) - e2e_since)) s")
    count_summary build/e2e.log "end-to-end run"
    count_summary build/e2e-soak.log "soak"
fi

took "all" "$began"
echo
echo "times: $(printf '%s, ' "${timings[@]}" | sed 's/, $//')"
[ ${#broken[@]} -eq 0 ] || echo "broken: ${broken[*]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
