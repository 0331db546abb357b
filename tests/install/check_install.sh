#!/usr/bin/env bash
# Installs the SDK into a scratch prefix, then builds and runs a host program
# against it twice, through find_package and through pkg-config, and compiles
# every installed header in one unit (so no installed header reaches one that
# was left out). The hosts see the prefix only: they run in a mount namespace
# in which the source and build trees are hidden. Where no namespace can be
# made, the SDK is built afresh into a scratch tree that is removed before
# the hosts are built.
#   check_install.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src="$(realpath "$1")"
build="$(realpath "$2")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
case "$work/" in "$src/"* | "$build/"*)
  echo "scratch directory $work lies inside the trees it must hide" >&2; exit 1 ;;
esac
cd "$work"
mkdir host
cp "$src/tests/install/CMakeLists.txt" "$src/tests/install/consumer.cpp" host/
# The desktop window is the example of a host binding the SDK to a toolkit:
# it must build from the installed headers alone.
mkdir host/gtk
cp "$src"/examples/gtk/*.h "$src"/examples/gtk/*.cpp host/gtk/

cat >host/hosts.sh <<'EOF'
set -euo pipefail
work="$1"
cd "$work"
# The host program starts the SDK, which writes its settings under the data
# root; the bundle must be found where the SDK was installed.
export VEXA_HOME="$work/home"
unset VEXA_BUNDLE_DIR

cmake -S host -B cmake -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix"
cmake --build cmake
expect_output() {
  local out
  out="$("$1")"
  [ "$out" = $'VEXA version 1.2.2\nbundle VEXA.bundle with pictures' ] ||
    { echo "$1 printed: $out"; exit 1; }
}
expect_output cmake/consumer

export PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig"
# shellcheck disable=SC2046
c++ -std=c++20 host/consumer.cpp $(pkg-config --cflags --libs vexa) -o pc-consumer
expect_output ./pc-consumer
# The host picks its language standard; only the headers' own needs come in.
case " $(pkg-config --cflags vexa) " in
  *" -std="* | *pango* | *harfbuzz* | *curl*)
    echo "pkg-config --cflags vexa: $(pkg-config --cflags vexa)"; exit 1 ;;
esac

(cd prefix/include && find vexa -name '*.h' | sort | sed 's/.*/#include <&>/') >headers.cpp
# shellcheck disable=SC2046
c++ -std=c++20 -Wall -Wextra -Werror -fsyntax-only $(pkg-config --cflags vexa) headers.cpp

if pkg-config --exists gtk4; then
  for source in host/gtk/*.cpp; do
    # shellcheck disable=SC2046
    c++ -std=c++20 -Wall -Wextra -Werror -fsyntax-only $(pkg-config --cflags vexa) \
        $(pkg-config --cflags gtk4 | sed 's/-I/-isystem /g') "$source"
  done
fi
EOF

if unshare --mount --map-root-user true 2>/dev/null; then
  cmake --install "$build" --prefix "$work/prefix" >/dev/null
  unshare --mount --map-root-user bash -c '
    mount -t tmpfs none "$1" && mount -t tmpfs none "$2" && bash "$3/host/hosts.sh" "$3"' \
    hide "$build" "$src" "$work" >hosts.log 2>&1 || { cat hosts.log >&2; exit 1; }
else
  launcher="$(sed -n 's/^CMAKE_CXX_COMPILER_LAUNCHER:[A-Z]*=//p' "$build/CMakeCache.txt")"
  cmake -S "$src" -B "$work/sdk-build" -G Ninja -DVEXA_BUILD_TESTS=OFF -DVEXA_BUILD_TOOLS=OFF \
        -DCMAKE_C_COMPILER_LAUNCHER="$launcher" -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" >/dev/null
  cmake --build "$work/sdk-build" >/dev/null
  cmake --install "$work/sdk-build" --prefix "$work/prefix" >/dev/null
  rm -rf "$work/sdk-build"
  bash host/hosts.sh "$work" >hosts.log 2>&1 || { cat hosts.log >&2; exit 1; }
fi
echo "installed SDK links through find_package and pkg-config, its headers stand alone"
