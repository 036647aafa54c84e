#!/usr/bin/env bash
# Builds the Debian package of Trellisk with CPack in build-package/ (installed under /usr,
# Debian's hardened build flags, no tests or benchmarks).
#
#   tools/package.sh           build-package/trellisk_<version>_<arch>.deb
#   tools/package.sh --check   then unpack it into a temporary root, run the install smoke
#                              check on that copy, and run lintian (no errors allowed)
#
# The packaging tools (dpkg-dev, file, and lintian for --check) are installed here through
# tools/setup.sh rather than listed there: building and testing the program does not need them.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-package
check=0
case ${1:-} in
"") ;;
--check) check=1 ;;
*)
    echo "usage: $0 [--check]" >&2
    exit 2
    ;;
esac

tools=(dpkg-dev file)
if [[ $check == 1 ]]; then
    tools+=(lintian)
fi
"$root/tools/setup.sh" "${tools[@]}"

# Every hardening feature, bind-now included, as a Debian package build would have them.
cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
    -DTRELLISK_BUILD_TESTS=OFF -DTRELLISK_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build "$build" -j2
rm -f "$build"/trellisk_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/trellisk_*.deb)
deb=${debs[0]}
echo "Package: $deb"

if [[ $check == 1 ]]; then
    unpacked=$(mktemp -d "${TMPDIR:-/tmp}/trellisk-package.XXXXXX")
    trap 'rm -rf "$unpacked"' EXIT
    dpkg-deb -x "$deb" "$unpacked"
    "$root/tests/install/smoke-check.sh" "$unpacked"
    lintian --fail-on error --info "$deb"
    echo "lintian: no errors"
fi
