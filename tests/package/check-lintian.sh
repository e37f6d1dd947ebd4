#!/bin/sh
# Builds the two .debs and runs lintian on them: any error or warning fails.
# Exits 77 (skipped) where lintian is not installed.
# Usage: check-lintian.sh BUILD_DIR SCRATCH_DIR
set -eu
build=$1
scratch=$2
command -v lintian >/dev/null 2>&1 || { echo "lintian is not installed"; exit 77; }
rm -rf "$scratch"
mkdir -p "$scratch/out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
# Every tag it reports is shown; only errors and warnings fail the test.
lintian --fail-on error,warning --no-tag-display-limit --info "$scratch"/out/*.deb
