#!/usr/bin/env bash
# Runs a command against a private Xvfb server, optionally with a window manager (openbox) and
# a system tray (trayer).
#
#   run-under-xvfb.sh [--wm] [--trayer] [--] command [args...]
#
# TRELLISK_XVFB_TRAYER=1 asks for the tray as --trayer does, TRELLISK_XVFB_WM=1 for the window
# manager as --wm does; TRELLISK_XVFB_SCREEN sets the screen (default 1280x1024x24). The server picks a free display
# itself (-displayfd), so parallel runs never collide. Exits with the command's status.
set -euo pipefail

want_trayer=${TRELLISK_XVFB_TRAYER:-0}
want_wm=${TRELLISK_XVFB_WM:-0}
while [[ $# -gt 0 ]]; do
    case $1 in
    --trayer) want_trayer=1; shift ;;
    --wm) want_wm=1; shift ;;
    --) shift; break ;;
    *) break ;;
    esac
done
if [[ $# -eq 0 ]]; then
    echo "usage: $0 [--wm] [--trayer] [--] command [args...]" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/trellisk-xvfb.XXXXXX")
xvfb_pid=
trayer_pid=
wm_pid=
stop() {
    if [[ -n $1 ]]; then
        kill "$1" 2>/dev/null || true
        wait "$1" 2>/dev/null || true
    fi
}
cleanup() {
    stop "$trayer_pid"
    stop "$wm_pid"
    stop "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -screen 0 "${TRELLISK_XVFB_SCREEN:-1280x1024x24}" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "Xvfb did not start:" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
if [[ ! -s $work/display ]]; then
    echo "Xvfb gave no display number" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

if [[ $want_wm == 1 ]]; then
    # No session manager, and a home of its own so that no user configuration is read.
    mkdir -p "$work/home"
    HOME=$work/home openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    # The manager announces itself on the root window once it has taken over.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
fi

if [[ $want_trayer == 1 ]]; then
    trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel \
        --height 24 >"$work/trayer.log" 2>&1 &
    trayer_pid=$!
    # Give the tray its moment to map its panel before the command looks for it.
    for _ in $(seq 100); do
        xdotool search --class '^trayer$' >/dev/null 2>&1 && break
        sleep 0.1
    done
fi

status=0
"$@" || status=$?
exit "$status"
