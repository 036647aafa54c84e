#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, address and undefined-behaviour sanitizers) in
# build-fuzz/ and runs each for SECONDS (default 60) from the seed corpus in tests/fuzz/corpus.
# Fails on any crash, sanitizer report or broken property.
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

"$root/tools/setup.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DTRELLISK_FUZZ=ON -DTRELLISK_DESKTOP=OFF \
    -DTRELLISK_BUILD_TESTS=OFF -DTRELLISK_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target settings_fuzzer visible_text_fuzzer

for fuzzer in settings visible_text; do
    # New inputs go to a working corpus; the seeds in the repository are only read.
    work="$build/corpus/$fuzzer"
    mkdir -p "$work"
    echo "== ${fuzzer}_fuzzer for ${seconds}s"
    "$build/tests/fuzz/${fuzzer}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/${fuzzer}-" -print_final_stats=1 \
        "$work" "$root/tests/fuzz/corpus/$fuzzer"
done
