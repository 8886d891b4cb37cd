#!/usr/bin/env bash
# Builds and runs the whole test suite twice: a release build, then a build under
# AddressSanitizer and UndefinedBehaviorSanitizer (VST 2.4 only, with the host test);
# then the hub's thread stress test under ThreadSanitizer and a minute of fuzzing for each fuzzer
# (those two builds take the model alone: no views, no plug-in formats). Each build after the
# first runs beside the tests of the one before, at the lowest priority.
set -euo pipefail
cd "$(dirname "$0")/.."
# Let ccache reuse compiles made in other clones of the project.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true

scripts/install-deps.sh --test

jobs="$(nproc)"
# Each stage says when it starts, counted from the start, so a slow run shows where time went.
started=$SECONDS
stage() { echo "== test.sh: $1 (at $((SECONDS - started)) s)"; }
export CTEST_OUTPUT_ON_FAILURE=1
# Allocations are traced by frame pointers, the sanitizers' default: unwinding each with the debug
# information instead took a third of the sanitized tests' time. The leak suppressions name every
# system library whose caches they cover, since such a stack may end in the library.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:fast_unwind_on_malloc=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"

# Whole builds from nothing: Ninja where the build folder is new (a folder made before keeps its
# generator), and the project's own sources compiled in batches.
configure() {
    local folder="$1"
    shift
    local generator=()
    [[ ! -f "$folder/CMakeCache.txt" ]] && command -v ninja >/dev/null && generator=(-G Ninja)
    cmake "${generator[@]}" -S . -B "$folder" -DRAVLIN_UNITY_BUILD=ON "$@"
}

# Tests leave the processors idle much of the time (they wait on timers, windows and the paced
# wire), so the next build runs beside them at the lowest priority: it takes only what they leave,
# and their timing stays as it would be alone. Its output goes to a log, shown if it fails.
background_pid=""
background_name=""
# A failing stage ends the run: the build beside it goes too.
trap '[[ -n "$background_pid" ]] && kill -- -"$background_pid" 2>/dev/null; true' EXIT
in_background() {
    background_name="$1"
    shift
    local log="build/${background_name// /-}.log"
    echo "== test.sh: $background_name starts beside the tests (at $((SECONDS - started)) s; log: $log)"
    mkdir -p build
    # In a process group of its own (job control on for the moment), so that the trap above
    # ends its compilers as well.
    set -m
    (
        renice -n 19 -p "$BASHPID" > /dev/null
        "$@"
    ) > "$log" 2>&1 &
    background_pid=$!
    set +m
}
wait_for_background() {
    local log="build/${background_name// /-}.log"
    stage "waiting for the $background_name"
    if ! wait "$background_pid"; then
        background_pid=""
        tail -n 80 "$log"
        echo "FAIL: the $background_name (whole log: $log)"
        exit 1
    fi
    background_pid=""
    tail -n 3 "$log"
}

asan_build() {
    configure build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVLIN_BUILD_TESTS=ON -DRAVLIN_SANITIZE=ON \
        -DRAVLIN_ALL_FORMATS=OFF
    cmake --build build/asan --parallel "$jobs"
}
tsan_and_fuzz_builds() {
    configure build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVLIN_BUILD_TESTS=ON -DRAVLIN_TSAN=ON \
        -DRAVLIN_ALL_FORMATS=OFF
    cmake --build build/tsan --parallel "$jobs" --target ravlin_hub_stress_tests
    RAVLIN_UNITY_BUILD=ON scripts/fuzz.sh --build-only
}

stage "release build"
configure build/tests -DCMAKE_BUILD_TYPE=Release -DRAVLIN_BUILD_TESTS=ON
cmake --build build/tests --parallel "$jobs"

in_background "ASan and UBSan build" asan_build
stage "release tests"
scripts/with-display.sh ctest --test-dir build/tests --parallel "$jobs"
stage "manual pictures and package"
# Every picture the manual and the README show must still be made by the UI tests.
scripts/manual-pictures.sh build/tests/screenshots
# The Debian package of that release build: lintian, apt install, then the installed plug-ins
# through the host test and the installed programs (scripts/check-package.sh says what fails).
scripts/package.sh
scripts/check-package.sh
wait_for_background

in_background "ThreadSanitizer and fuzz builds" tsan_and_fuzz_builds
stage "ASan and UBSan tests"
scripts/with-display.sh ctest --test-dir build/asan --parallel "$jobs"
wait_for_background

stage "ThreadSanitizer stress test"
# Every thread of the hub at once, under ThreadSanitizer: any report fails the run.
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1" RAVLIN_STRESS_SECONDS=5 \
    build/tsan/tests/ravlin_hub_stress_tests --gtest_filter='HubStress.*'

stage "fuzzers"
# A minute of fuzzing the MIDI input and one of the file readers, side by side (scripts/fuzz.sh
# alone: ten each).
RAVLIN_UNITY_BUILD=ON scripts/fuzz.sh 60
stage "done"
