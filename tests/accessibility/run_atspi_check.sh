#!/bin/sh
# Runs one of the checks beside it in a private session bus, or skips (77)
# where the display, the buses or pyatspi are not installed.
# Usage: run_atspi_check.sh CHECK.py ARGS...
for tool in Xvfb dbus-run-session; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: no $tool"; exit 77; }
done
if [ ! -x /usr/libexec/at-spi-bus-launcher ] && [ ! -x /usr/lib/at-spi2-core/at-spi-bus-launcher ]; then
    echo "skipped: no at-spi-bus-launcher (at-spi2-core)"
    exit 77
fi
here=$(dirname "$0")
check="$1"
shift
# The system's Python holds pyatspi; another one first on the PATH may not.
for python in python3 /usr/bin/python3; do
    if "$python" -c 'import pyatspi' >/dev/null 2>&1; then
        exec dbus-run-session -- "$python" "$here/$check" "$@"
    fi
done
echo "skipped: no pyatspi (python3-pyatspi)"
exit 77
