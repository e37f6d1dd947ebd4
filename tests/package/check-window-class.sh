#!/bin/sh
# Starts each program on a virtual X display and checks that its window
# names the desktop entry installed for it: the entry whose Exec is the
# program has a StartupWMClass equal to the instance part of the window's
# WM_CLASS, which is how the desktop finds the entry's icon and name.
# Exits 77 (skipped) where Xvfb or the X utilities are not installed.
# Usage: check-window-class.sh PACKAGING_DIR PROGRAM...
set -eu
packaging=$1
shift
for tool in Xvfb xwininfo xprop; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed"; exit 77; }
done
work=$(mktemp -d)
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number when it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids=$!
tries=0
until [ -s "$work/display" ]; do
    tries=$((tries + 1))
    [ $tries -le 100 ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
    sleep 0.1
done
DISPLAY=:$(head -n 1 "$work/display")
# On X11 whatever platform the tests run the widgets on.
QT_QPA_PLATFORM=xcb
export DISPLAY QT_QPA_PLATFORM
unset WAYLAND_DISPLAY

status=0
for program in "$@"; do
    name=$(basename "$program")
    entry=$(grep -l -x "Exec=$name" "$packaging"/*.desktop || true)
    [ -n "$entry" ] || { echo "$name: no desktop entry with Exec=$name"; status=1; continue; }
    expected=$(sed -n 's/^StartupWMClass=//p' "$entry")
    "$program" >"$work/$name.log" 2>&1 &
    pids="$pids $!"
    # The window is up when the X server lists it; xwininfo shows its WM_CLASS.
    tries=0
    window=""
    until [ -n "$window" ]; do
        tries=$((tries + 1))
        [ $tries -le 300 ] || break
        sleep 0.1
        window=$(xwininfo -root -tree | grep "(\"$name\" " | head -n 1 | awk '{print $1}')
    done
    [ -n "$window" ] || { echo "$name: no window"; cat "$work/$name.log"; status=1; continue; }
    instance=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "\([^"]*\)".*/\1/p')
    if [ "$instance" != "$expected" ]; then
        echo "$name: window's WM_CLASS instance '$instance', $(basename "$entry") has StartupWMClass '$expected'"
        status=1
    fi
done
exit $status
