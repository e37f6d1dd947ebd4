#!/bin/sh
# Checks that the programs carry the hardening the optimised build gives
# them: PIE, stack protector, fortified calls, RELRO and immediate binding.
# Control-flow protection is not required: Debian 12's C library start
# files are built without it, so no program linked with them is marked.
# The programs after --without-checkable-calls are built with the same
# flags but make no call whose buffer size is known when they are compiled
# (the serial simulator), so there is no fortified call to find in them:
# they are checked for everything else.
# Exits 77 (skipped) where hardening-check (devscripts) is not installed.
# Usage: check-hardening.sh PROGRAM... [--without-checkable-calls PROGRAM...]
set -eu
command -v hardening-check >/dev/null 2>&1 || { echo "hardening-check is not installed"; exit 77; }
full=""
others=""
mode=full
for program in "$@"; do
  if [ "$program" = "--without-checkable-calls" ]; then
    mode=others
  elif [ "$mode" = full ]; then
    full="$full $program"
  else
    others="$others $program"
  fi
done
status=0
# shellcheck disable=SC2086 # the lists are split into their programs
hardening-check --nocfprotection --quiet $full || status=1
if [ -n "$others" ]; then
  # shellcheck disable=SC2086
  hardening-check --nocfprotection --nofortify --quiet $others || status=1
fi
exit "$status"
