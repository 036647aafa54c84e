#!/usr/bin/env bash
# Builds Trellisk with its tests and runs them all.
#
#   tools/test.sh              build in build/
#   tools/test.sh --sanitize   build in build-asan/ with the address and undefined-behaviour sanitizers
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build
options=()
case ${1:-} in
"") ;;
--sanitize)
    build=$root/build-asan
    options+=(-DTRELLISK_SANITIZE=ON)
    ;;
*)
    echo "usage: $0 [--sanitize]" >&2
    exit 2
    ;;
esac

"$root/tools/setup.sh"
cmake -S "$root" -B "$build" -DTRELLISK_BUILD_TESTS=ON "${options[@]}"
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2
