#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ in build-fuzz/ (clang, AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60), one
# after the other. A crash, a leak, undefined behaviour or an input that takes
# more than 1 s fails the script; the input at fault is kept in
# build-fuzz/artifacts/. Each target's corpus grows in build-fuzz/corpus/,
# seeded from the files its "// seeds:" line names.
#
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
case "$seconds" in ''|*[!0-9]*) echo "fuzz.sh: SECONDS must be a whole number" >&2; exit 2 ;; esac

bash scripts/install-packages.sh
source scripts/compiler-cache.sh
build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 \
    "${cache_launcher[@]}"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
cmake --build "$build" --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:suppressions=$PWD/tests/sanitizer/asan.supp
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0
shopt -s globstar nullglob
failed=()
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    artifacts=$build/artifacts/$target
    mkdir -p "$corpus" "$artifacts"
    seeds=$(sed -n 's|^// seeds: ||p' "fuzz/$target.cpp")
    for pattern in $seeds; do
        for seed in $pattern; do
            [ -f "$seed" ] && cp "$seed" "$corpus/seed-$(echo "$seed" | tr '/' '_')"
        done
    done
    echo "== $target: $seconds s, $(ls "$corpus" | wc -l) inputs in the corpus"
    if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$artifacts/" "$corpus" > "$build/$target.log" 2>&1; then
        tail -n 60 "$build/$target.log"
        failed+=("$target")
    else
        grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$build/$target.log" || true
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz.sh: failed: ${failed[*]} (inputs in $build/artifacts/)" >&2
    exit 1
fi
echo "fuzz.sh: all ${#targets[@]} targets ran $seconds s clean"
