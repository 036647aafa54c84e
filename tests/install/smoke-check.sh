#!/usr/bin/env bash
# Checks an installed copy of Trellisk under ROOT (a DESTDIR or an unpacked package, prefix
# /usr): the file list, the desktop entry and the AppStream metadata; then starts the installed
# executable twice under a private Xvfb, with HOME and XDG_CONFIG_HOME in a temporary folder,
# and ends it with SIGTERM as a logout does. The first run must write the settings file into
# the configuration folder (nothing beside the executable), the second must keep what the
# file holds.
#
#   smoke-check.sh ROOT
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

fail() {
    echo "smoke check: $*" >&2
    exit 1
}

# Inside the display: start the program, wait for its window, check that the window's class
# is the desktop entry's StartupWMClass, end the program, give its exit status.
if [[ ${1:-} == --run-once ]]; then
    program=$2
    startup_class=$3
    "$program" &
    pid=$!
    for _ in $(seq 300); do
        xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 || {
        kill -KILL "$pid" 2>/dev/null || true
        fail "no window of $program appeared"
    }
    window=$(xdotool search --onlyvisible --pid "$pid" | head -n1)
    class=$(xprop -id "$window" WM_CLASS)
    if [[ $class != *", \"$startup_class\"" ]]; then
        kill -KILL "$pid" 2>/dev/null || true
        fail "the window's $class does not end in the desktop entry's class \"$startup_class\""
    fi
    kill -TERM "$pid"
    status=0
    wait "$pid" || status=$?
    exit "$status"
fi

if [[ $# -ne 1 ]]; then
    echo "usage: $0 ROOT" >&2
    exit 2
fi
root=$(cd "$1" && pwd)
usr=$root/usr

expected=(
    usr/bin/trellisk
    usr/share/applications/trellisk.desktop
    usr/share/doc/trellisk/README.md
    usr/share/doc/trellisk/changelog.gz
    usr/share/doc/trellisk/copyright
    usr/share/icons/hicolor/128x128/apps/trellisk.png
    usr/share/icons/hicolor/16x16/apps/trellisk.png
    usr/share/icons/hicolor/256x256/apps/trellisk.png
    usr/share/icons/hicolor/32x32/apps/trellisk.png
    usr/share/icons/hicolor/48x48/apps/trellisk.png
    usr/share/icons/hicolor/64x64/apps/trellisk.png
    usr/share/icons/hicolor/scalable/apps/trellisk.svg
    usr/share/man/man1/trellisk.1.gz
    usr/share/metainfo/io.github.trellisk.trellisk.metainfo.xml
)
listed=$(cd "$root" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
if [[ $listed != "$wanted" ]]; then
    diff <(echo "$wanted") <(echo "$listed") >&2 || true
    fail "the installed files differ from the list (< expected, > installed)"
fi
[[ -x $usr/bin/trellisk ]] || fail "usr/bin/trellisk is not executable"

entry=$usr/share/applications/trellisk.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate found errors"
startup_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
[[ -n $startup_class ]] || fail "the desktop entry has no StartupWMClass"
appstreamcli validate --no-net --pedantic "$usr/share/metainfo/io.github.trellisk.trellisk.metainfo.xml" ||
    fail "appstreamcli validate found errors"
echo

work=$(mktemp -d "${TMPDIR:-/tmp}/trellisk-smoke.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/home" "$work/watched"
mkdir -m 0700 "$work/runtime"
config=$work/config
settings=$config/trellisk/trellisk.ini
run_once() {
    HOME=$work/home XDG_CONFIG_HOME=$config XDG_RUNTIME_DIR=$work/runtime \
        "$here/../run-under-xvfb.sh" "$here/smoke-check.sh" --run-once "$usr/bin/trellisk" "$startup_class" ||
        fail "the program did not end cleanly on SIGTERM"
}

run_once
[[ -f $settings ]] || fail "no settings file at $settings"
printf '[foldersv040]\r\n0\r\n[interval]\r\n3\r\n' | cmp - "$settings" ||
    fail "the first run's settings file differs from the defaults"
for directory in "$config" "$config/trellisk"; do
    [[ $(stat -c %a "$directory") == 700 ]] || fail "$directory is not private (0700)"
done
beside=$(ls -A "$usr/bin")
[[ $beside == trellisk ]] || fail "files beside the executable: $beside"

# A folder list and an interval survive a restart.
printf -v kept '[foldersv040]\r\n1\r\n%s/\r\nする\r\n2\r\n[interval]\r\n7\r\n' "$work/watched"
printf '%s' "$kept" >"$settings"
run_once
printf '%s' "$kept" | cmp - "$settings" || fail "the second run did not keep the settings"
beside=$(ls -A "$usr/bin")
[[ $beside == trellisk ]] || fail "files beside the executable: $beside"

echo "smoke check passed: $root"
