#!/bin/sh
# Runs atspi_form_check.py in a private session bus, or skips (77) where
# the display, the buses or pyatspi are not installed.
# Usage: run_atspi_check.sh TALLISK_DEMO FORM_NAMES
for tool in Xvfb dbus-run-session; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: no $tool"; exit 77; }
done
if [ ! -x /usr/libexec/at-spi-bus-launcher ] && [ ! -x /usr/lib/at-spi2-core/at-spi-bus-launcher ]; then
    echo "skipped: no at-spi-bus-launcher (at-spi2-core)"
    exit 77
fi
here=$(dirname "$0")
# The system's Python holds pyatspi; another one first on the PATH may not.
for python in python3 /usr/bin/python3; do
    if "$python" -c 'import pyatspi' >/dev/null 2>&1; then
        exec dbus-run-session -- "$python" "$here/atspi_form_check.py" "$@"
    fi
done
echo "skipped: no pyatspi (python3-pyatspi)"
exit 77
