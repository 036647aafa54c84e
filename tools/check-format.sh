#!/usr/bin/env bash
# Fails when a C++ source differs from what the root .clang-format makes of it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "format: every C++ source as .clang-format writes it"
