#!/usr/bin/env bash
# Builds the MIDI input fuzzer with clang and runs it: scripts/fuzz.sh [seconds] (default 600).
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
seconds="${1:-600}"
build=build/fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVLIN_FUZZ=ON \
    -DRAVLIN_BUILD_TESTS=OFF -DRAVLIN_ALL_FORMATS=OFF
cmake --build "$build" --parallel "$(nproc)" --target ravlin_fuzz_midi_input

corpus="$build/corpus"
mkdir -p "$corpus"
python3 scripts/fuzz-seeds.py "$corpus"

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
"$build/tests/fuzz/ravlin_fuzz_midi_input" -artifact_prefix="$build/" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
    -print_final_stats=1 -print_coverage=0 "$corpus" 2>&1 | tee "$build/fuzz.log" | grep -E "^#|stat::|ERROR|SUMMARY" | tail -40
! grep -q "ERROR:\|SUMMARY:" "$build/fuzz.log"
