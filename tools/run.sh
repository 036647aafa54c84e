#!/usr/bin/env bash
# Builds Trellisk (Release) and starts it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build

"$root/tools/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2 --target trellisk
exec "$build/trellisk" "$@"
