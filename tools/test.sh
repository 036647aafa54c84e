#!/usr/bin/env bash
# Builds Trellisk with its tests and runs them all.
#
#   tools/test.sh                build in build/
#   tools/test.sh --sanitize     build in build-asan/ with the address and undefined-behaviour sanitizers
#   tools/test.sh --engine-only  build in build-engine/ the engine and its tests alone, without Qt
#   tools/test.sh --windows      cross-build in build-windows/ the engine and its Windows tests
#                                with mingw-w64 and run them under wine (see the README)
#
# Arguments after "--" go to CMake, e.g. tools/test.sh -- -DTRELLISK_WERROR=ON
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build
options=()
case ${1:-} in
"" | --) ;;
--sanitize)
    build=$root/build-asan
    options+=(-DTRELLISK_SANITIZE=ON -DTRELLISK_BUILD_BENCH=OFF)
    ;;
--engine-only)
    build=$root/build-engine
    options+=(-DTRELLISK_DESKTOP=OFF -DTRELLISK_BUILD_BENCH=OFF)
    ;;
--windows)
    exec "$root/tools/test-windows.sh" "${@:2}"
    ;;
*)
    echo "usage: $0 [--sanitize | --engine-only | --windows] [-- CMAKE-OPTION...]" >&2
    exit 2
    ;;
esac
if [[ ${1:-} == --sanitize || ${1:-} == --engine-only ]]; then
    shift
fi
if [[ ${1:-} == -- ]]; then
    shift
fi
options+=("$@")

"$root/tools/setup.sh"
cmake -S "$root" -B "$build" -DTRELLISK_BUILD_TESTS=ON "${options[@]}"
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2
