#!/bin/sh
# Starts each program on a headless Wayland compositor and checks that the
# app id its window gives is the name of the desktop entry whose Exec is the
# program, which is how a Wayland desktop finds the entry's icon and name.
# Exits 77 (skipped) where weston or Qt's Wayland plugin is not installed.
# Usage: check-app-id.sh PACKAGING_DIR PROGRAM...
set -eu
packaging=$1
shift
command -v weston >/dev/null 2>&1 || { echo "weston is not installed"; exit 77; }
work=$(mktemp -d)
chmod 700 "$work"
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

XDG_RUNTIME_DIR=$work
WAYLAND_DISPLAY=tallisk-test
QT_QPA_PLATFORM=wayland
export XDG_RUNTIME_DIR WAYLAND_DISPLAY QT_QPA_PLATFORM
unset DISPLAY
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 >"$work/weston.log" 2>&1 &
pids=$!
tries=0
until [ -S "$work/$WAYLAND_DISPLAY" ]; do
    tries=$((tries + 1))
    [ $tries -le 100 ] || { echo "weston did not start"; cat "$work/weston.log"; exit 1; }
    sleep 0.1
done

status=0
for program in "$@"; do
    name=$(basename "$program")
    entry=$(grep -l -x "Exec=$name" "$packaging"/*.desktop || true)
    [ -n "$entry" ] || { echo "$name: no desktop entry with Exec=$name"; status=1; continue; }
    expected=$(basename "$entry" .desktop)
    # The protocol log shows the app id the window sets.
    WAYLAND_DEBUG=1 "$program" >"$work/$name.log" 2>&1 &
    pids="$pids $!"
    tries=0
    app_id=""
    until [ -n "$app_id" ]; do
        tries=$((tries + 1))
        [ $tries -le 300 ] || break
        sleep 0.1
        app_id=$(sed -n 's/.*xdg_toplevel@[0-9]*\.set_app_id("\([^"]*\)").*/\1/p' "$work/$name.log" | head -n 1)
    done
    if [ -z "$app_id" ] && grep -q 'Could not find the Qt platform plugin "wayland"' "$work/$name.log"; then
        echo "Qt's Wayland plugin is not installed"
        exit 77
    fi
    if [ "$app_id" != "$expected" ]; then
        echo "$name: app id '$app_id', its desktop entry is $expected.desktop"
        status=1
    fi
done
exit $status
