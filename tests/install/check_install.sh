#!/usr/bin/env bash
# Installs the SDK from a build tree into a scratch prefix, then builds and
# runs a host program against it twice: through find_package and pkg-config.
#   check_install.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src="$1"
build="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The host program starts the SDK, which writes its settings under the data root.
export VEXA_HOME="$work/home"

cmake --install "$build" --prefix "$work/prefix" >/dev/null

cmake -S "$src/tests/install" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake" >/dev/null
"$work/cmake/consumer" | grep -qx "VEXA version 1.2.2"

export PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig"
# shellcheck disable=SC2046
c++ -std=c++20 "$src/tests/install/consumer.cpp" $(pkg-config --cflags --libs vexa) -o "$work/pc-consumer"
"$work/pc-consumer" | grep -qx "VEXA version 1.2.2"
echo "installed SDK links through find_package and pkg-config"
