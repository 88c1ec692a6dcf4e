#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the whole test suite headless.
# Exits non-zero when any test fails.
#
#   scripts/test.sh              build/ as scripts/setup.sh builds it
#   scripts/test.sh --sanitize   build-asan/ with AddressSanitizer and
#                                UndefinedBehaviorSanitizer; any report fails
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
    "")
        bash scripts/setup.sh
        build=build
        ;;
    --sanitize)
        bash scripts/install-packages.sh
        source scripts/compiler-cache.sh
        build=build-asan
        cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSARO_SANITIZE=ON "${cache_launcher[@]}"
        cmake --build "$build"
        # A leak, a memory error or undefined behaviour ends the process with a
        # failure status, also in child processes the tests start.
        export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:exitcode=86:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:suppressions=$PWD/tests/sanitizer/asan.supp
        export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:exitcode=87
        export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0
        ;;
    -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "test.sh: unknown option $1" >&2; exit 2 ;;
esac

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --timeout 300 -j "$(nproc)"
