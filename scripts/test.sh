#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the whole test suite.
#   scripts/test.sh              normal build (build/)
#   scripts/test.sh --sanitize   clang + ASan + UBSan build (build-asan/),
#                                fuzz targets built and replayed on their seeds
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

dir=build
[ "${1:-}" = "--sanitize" ] && dir=build-asan
scripts/build.sh "$@"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" -j"$(nproc)" --output-on-failure --timeout 600
