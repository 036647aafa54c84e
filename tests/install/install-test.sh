#!/usr/bin/env bash
# Installs the build in BUILD into a temporary root (DESTDIR, prefix /usr) and runs the smoke
# check on that copy.
#
#   install-test.sh BUILD
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$1
root=$(mktemp -d "${TMPDIR:-/tmp}/trellisk-install.XXXXXX")
trap 'rm -rf "$root"' EXIT

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
"$here/smoke-check.sh" "$root"
