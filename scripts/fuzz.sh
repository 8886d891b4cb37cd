#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each: scripts/fuzz.sh [seconds per target] [target...]
# (default 600 s, both targets: the MIDI input and the file readers).
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
seconds="${1:-600}"
shift || true
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(midi_input file_readers)
build=build/fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVLIN_FUZZ=ON \
    -DRAVLIN_BUILD_TESTS=OFF -DRAVLIN_ALL_FORMATS=OFF
for t in "${targets[@]}"; do
    cmake --build "$build" --parallel "$(nproc)" --target "ravlin_fuzz_$t"
done

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for t in "${targets[@]}"; do
    corpus="$build/corpus-$t"
    mkdir -p "$corpus"
    python3 scripts/fuzz-seeds.py "$t" "$corpus"
    log="$build/fuzz-$t.log"
    maxlen=8192
    [[ "$t" == file_readers ]] && maxlen=140000 # a whole preset-bank chunk
    echo "== fuzzing $t for $seconds s"
    "$build/tests/fuzz/ravlin_fuzz_$t" -artifact_prefix="$build/$t-" -max_total_time="$seconds" -max_len="$maxlen" \
        -timeout=10 -print_final_stats=1 "$corpus" 2>&1 | tee "$log" | grep -E "DONE|stat::|ERROR|SUMMARY" | tail -12
    ! grep -q "ERROR:\|SUMMARY:" "$log"
done
