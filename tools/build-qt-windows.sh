#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (QtCore, QtGui, QtWidgets, QtTest, the windows platform plugin and
# the Windows style plugin) with mingw-w64 from Debian's own qt6-base source package, the version
# of the installed qt6-base-dev, which serves as the host Qt (moc, rcc, uic). The result is kept
# in a cache folder named after a hash of everything that decides it, reused while that hash is
# unchanged, and printed as the last line of standard output:
#
#   qt=$(tools/build-qt-windows.sh | tail -n 1)
#   cmake ... -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTRELLISK_MINGW_SHARED_RUNTIME=ON \
#       -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr
#
# The cache lives in ${XDG_CACHE_HOME:-~/.cache}/trellisk: downloads/ keeps the source package,
# qt-windows-KEY/ the installed Qt. Everything else goes to standard error.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/trellisk
toolchain=$root/cmake/mingw-w64-x86_64.cmake
compiler=x86_64-w64-mingw32-g++-posix

say() { echo "build-qt-windows: $*" >&2; }

"$root/tools/setup.sh" g++-mingw-w64-x86-64-posix ninja-build dpkg-dev xz-utils >&2

# The host Qt's tools generate code for the Windows build, so both must be the same release.
package=qt6-base
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)

# Modules and features the program does not use are off. OpenGL and Direct2D stay at their
# defaults: switching OpenGL off leaves dynamic GL on, which the platform plugin cannot build
# without, and Direct2D off breaks the link while DirectWrite 3 is on. The tarball lacks the
# tablet library, hence no tablet events. The third-party libraries are Qt's bundled ones, and
# pkg-config is off so that nothing of the Linux system is found.
configure_options=(
    -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DTRELLISK_MINGW_SHARED_RUNTIME=ON -DFEATURE_pkg_config=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_zstd=OFF
    -DFEATURE_icu=OFF -DFEATURE_freetype=OFF -DFEATURE_gif=OFF -DFEATURE_jpeg=OFF
)

# The source package, fetched once per version through a private apt source list: the system's
# apt set-up is not touched, and apt checks the files against the archive's signed index.
downloads=$cache/downloads/${package}_$version
if [[ ! -f $downloads/${package}_${version#*:}.dsc ]]; then
    say "fetching $package $version"
    mkdir -p "$cache/downloads"
    fetch=$(mktemp -d "$cache/downloads/.fetch.XXXXXX")
    trap 'rm -rf "$fetch"' EXIT
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    {
        echo "deb-src [signed-by=$keyring] http://deb.debian.org/debian $codename main"
        echo "deb-src [signed-by=$keyring] http://deb.debian.org/debian $codename-updates main"
        echo "deb-src [signed-by=$keyring] http://deb.debian.org/debian-security $codename-security main"
    } >"$fetch/sources.list"
    mkdir -p "$fetch/lists/partial" "$fetch/cache" "$fetch/files"
    apt_options=(-o "Dir::Etc::sourcelist=$fetch/sources.list" -o Dir::Etc::sourceparts=/dev/null
        -o "Dir::State::Lists=$fetch/lists" -o "Dir::Cache=$fetch/cache" -o APT::Sandbox::User=root)
    apt-get "${apt_options[@]}" -qq update >&2
    (cd "$fetch/files" && apt-get "${apt_options[@]}" -qq source --download-only "$package=$version" >&2)
    mv -T "$fetch/files" "$downloads"
    rm -rf "$fetch"
    trap - EXIT
fi
dsc=$downloads/${package}_${version#*:}.dsc

# The key: the source (its .dsc names the checksums of all its parts), this script and the
# toolchain file, the cross compiler and its Windows headers and libraries, and the options.
key=$(
    {
        echo "$package $version"
        sha256sum <"$dsc"
        sha256sum <"${BASH_SOURCE[0]}"
        sha256sum <"$toolchain"
        "$compiler" --version | head -n 1
        dpkg-query -W -f='${Package} ${Version}\n' g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
        printf '%s\n' "${configure_options[@]}"
    } | sha256sum | cut -c1-16
)
prefix=$cache/qt-windows-$key

# One build per key at a time: a second run waits here and then finds the finished folder.
exec 9>"$prefix.lock"
flock 9
if [[ -d $prefix ]]; then
    say "cached: $prefix"
    echo "$prefix"
    exit 0
fi

# Built and installed into a scratch folder beside the cache, then renamed into place in one
# step, so that an interrupted run never leaves a folder a later run would take as complete.
# The scratch folder goes when the run ends, however it ends short of SIGKILL, and what such a
# run left is removed by the next one with the same key.
work=$cache/.qt-windows-$key.build
rm -rf "$work"
mkdir "$work"
trap 'rm -rf "$work"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
say "building $package $version for Windows in $work (key $key)"
start=$SECONDS

(cd "$work" && dpkg-source -x "$dsc" source >&2)
cmake -S "$work/source" -B "$work/build" "${configure_options[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >&2
cmake --build "$work/build" -j"$(nproc)" >&2
DESTDIR=$work/installed cmake --install "$work/build" >&2
mv -T "$work/installed$prefix" "$prefix"

say "built in $((SECONDS - start)) s: $prefix"
echo "$prefix"
