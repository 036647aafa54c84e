#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test Trellisk; does nothing when they
# are all present. Packages named as arguments are installed as well (tools/package.sh adds
# the packaging tools that way).
#
#   tools/setup.sh [package...]
set -euo pipefail

packages=(
    build-essential cmake pkg-config ccache clang-format
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libxcb1-dev
    libgtest-dev googletest libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xauth trayer openbox x11-utils xdotool imagemagick dbus-x11 at-spi2-core
    dbus-daemon nautilus
    fonts-noto-cjk
    desktop-file-utils appstream
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=600 \
    "${missing[@]}"
