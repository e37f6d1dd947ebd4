#!/bin/sh
# Validates AppStream metadata with one validator: appstreamcli (pedantic,
# and failing on warnings) or appstream-util. Neither fetches the
# screenshots: they are on the project's web site, not in the package.
# Exits 77 (skipped) where the validator is not installed.
# Usage: check-metainfo.sh appstreamcli|appstream-util FILE...
set -eu
tool=$1
shift
command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed"; exit 77; }
case $tool in
appstreamcli) exec appstreamcli validate --pedantic --strict --no-net "$@" ;;
appstream-util) exec appstream-util validate --nonet "$@" ;;
*) echo "unknown validator: $tool"; exit 2 ;;
esac
