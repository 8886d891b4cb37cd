#!/usr/bin/env bash
# Builds and runs the whole test suite twice: a release build, then a build under
# AddressSanitizer and UndefinedBehaviorSanitizer (VST 2.4 only, with the host test);
# then the hub's thread stress test under ThreadSanitizer and a minute of fuzzing for each fuzzer
# (those two builds take the model alone: no views, no plug-in formats).
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
# Full unwinding on malloc lets the leak suppressions see the system libraries' frames.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:fast_unwind_on_malloc=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"

stage "release build"
cmake -S . -B build/tests -DCMAKE_BUILD_TYPE=Release -DRAVLIN_BUILD_TESTS=ON
cmake --build build/tests --parallel "$jobs"
stage "release tests"
scripts/with-display.sh ctest --test-dir build/tests --parallel "$jobs"
stage "manual pictures and package"
# Every picture the manual and the README show must still be made by the UI tests.
scripts/manual-pictures.sh build/tests/screenshots
# The Debian package of that release build: lintian, apt install, then the installed plug-ins
# through the host test and the installed programs (scripts/check-package.sh says what fails).
scripts/package.sh
scripts/check-package.sh

stage "ASan and UBSan build"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVLIN_BUILD_TESTS=ON -DRAVLIN_SANITIZE=ON \
    -DRAVLIN_ALL_FORMATS=OFF
cmake --build build/asan --parallel "$jobs"
stage "ASan and UBSan tests"
scripts/with-display.sh ctest --test-dir build/asan --parallel "$jobs"

stage "ThreadSanitizer build"
# Every thread of the hub at once, under ThreadSanitizer: any report fails the run.
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVLIN_BUILD_TESTS=ON -DRAVLIN_TSAN=ON \
    -DRAVLIN_ALL_FORMATS=OFF
cmake --build build/tsan --parallel "$jobs" --target ravlin_hub_stress_tests
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1" RAVLIN_STRESS_SECONDS=5 \
    build/tsan/tests/ravlin_hub_stress_tests --gtest_filter='HubStress.*'

stage "fuzzers"
# A minute of fuzzing the MIDI input and one of the file readers (scripts/fuzz.sh alone: ten each).
scripts/fuzz.sh 60
stage "done"
