#!/usr/bin/env bash
# Configures and builds into a build directory.
#   scripts/build.sh [--sanitize] [--dir DIR] [extra cmake -D options...]
# --sanitize builds with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, fuzz targets included, into build-asan.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) dir=build-asan
                args+=(-DVEXA_SANITIZE=ON -DVEXA_BUILD_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug
                       -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    --dir) dir="$2"; shift ;;
    *) args+=("$1") ;;
  esac
  shift
done

cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
cmake --build "$dir"
