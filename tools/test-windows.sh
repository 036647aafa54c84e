#!/usr/bin/env bash
# Cross-builds the engine and its Windows tests with mingw-w64 in build-windows/ and runs them
# as Windows programs under wine, headless. Run through `tools/test.sh --windows`.
#
# Arguments after "--" go to CMake.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-windows
if [[ ${1:-} == -- ]]; then
    shift
fi

phase() { # phase NAME COMMAND...: runs the command and says how long it took
    local name=$1 start=$SECONDS
    shift
    "$@"
    echo "== $name: $((SECONDS - start)) s"
}

# The cross compiler, GoogleTest's sources and wine (wine64 runs the programs; the wine package
# adds the wine, wineboot and wineserver commands). No 32-bit wine is needed.
phase packages "$root/tools/setup.sh" g++-mingw-w64-x86-64-posix wine wine64 googletest ninja-build

# A private wine prefix, never ~/.wine; quiet, without dialogs and without Mono or Gecko.
export WINEPREFIX=${WINEPREFIX:-/tmp/trellisk-wine-$(id -u)}
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    phase "wine prefix" sh -c 'wineboot --init </dev/null >/dev/null 2>&1 && wineserver -w'
fi

phase configure cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DTRELLISK_DESKTOP=OFF -DTRELLISK_BUILD_BENCH=OFF -DTRELLISK_BUILD_TESTS=ON \
    -DTRELLISK_WERROR=ON --log-level=WARNING "$@"
phase build cmake --build "$build" -j2

# Wine's helper processes (services.exe, winedevice.exe, ...) keep the standard output of the
# wine process that started them for as long as the wine server runs, so ctest would wait on
# every test's pipe (or forever). They are started here, on /dev/null, under a server that
# stays until the tests are done.
wineserver -p </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT
phase "wine warm-up" sh -c 'wine cmd /c exit </dev/null >/dev/null 2>&1'
phase tests ctest --test-dir "$build" --output-on-failure -j2 --timeout 120
