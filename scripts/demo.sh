#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the main job: `vexa demo` against
# the reference emoticon service embedded in the tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh -DVEXA_BUILD_TESTS=OFF >/dev/null
exec build/tools/vexa demo "$@"
