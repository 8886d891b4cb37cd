#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each: scripts/fuzz.sh [seconds per target] [target...]
# (default 600 s, both targets: the MIDI input and the file readers, side by side).
# scripts/fuzz.sh --build-only [target...] builds them and stops.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
buildOnly=0
if [[ "${1:-}" == "--build-only" ]]; then
    buildOnly=1
    shift
    seconds=0
else
    seconds="${1:-600}"
    shift || true
fi
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(midi_input file_readers)
build=build/fuzz

generator=()
[[ ! -f "$build/CMakeCache.txt" ]] && command -v ninja >/dev/null && generator=(-G Ninja)
CC=clang CXX=clang++ cmake "${generator[@]}" -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVLIN_FUZZ=ON \
    -DRAVLIN_BUILD_TESTS=OFF -DRAVLIN_ALL_FORMATS=OFF -DRAVLIN_UNITY_BUILD="${RAVLIN_UNITY_BUILD:-OFF}"
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]/#/ravlin_fuzz_}"
[[ $buildOnly -eq 1 ]] && exit 0

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The targets fuzz side by side, one to a processor: each still has its full time.
pids=()
for t in "${targets[@]}"; do
    corpus="$build/corpus-$t"
    mkdir -p "$corpus"
    python3 scripts/fuzz-seeds.py "$t" "$corpus"
    maxlen=8192
    [[ "$t" == file_readers ]] && maxlen=140000 # a whole preset-bank chunk
    echo "== fuzzing $t for $seconds s"
    "$build/tests/fuzz/ravlin_fuzz_$t" -artifact_prefix="$build/$t-" -max_total_time="$seconds" -max_len="$maxlen" \
        -timeout=10 -print_final_stats=1 "$corpus" > "$build/fuzz-$t.log" 2>&1 &
    pids+=($!)
done
failed=0
for i in "${!targets[@]}"; do
    t="${targets[$i]}"
    log="$build/fuzz-$t.log"
    status=0
    wait "${pids[$i]}" || status=$?
    echo "== $t"
    grep -E "DONE|stat::|ERROR|SUMMARY" "$log" | tail -12 || true
    if [[ $status -ne 0 ]] || grep -q "ERROR:\|SUMMARY:" "$log" || ! grep -q "^Done [0-9]* runs" "$log"; then
        echo "FAIL: fuzzing $t (whole log: $log)"
        failed=1
    fi
done
exit "$failed"
