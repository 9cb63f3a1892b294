#!/usr/bin/env bash
# Checks desktop files with the desktop's own validators, when they are installed:
#   validate.sh desktop-file-validate FILE.desktop
#   validate.sh appstreamcli FILE.metainfo.xml
#   validate.sh man PAGE...
# Exits 77 (reported as skipped) when the validator is missing.
set -euo pipefail
tool=$1
shift
if ! command -v "$tool" >/dev/null; then
  echo "skipped: $tool is not installed (tools/setup installs it)"
  exit 77
fi
case $tool in
  desktop-file-validate)
    # Warnings and hints count as failures too.
    said=$(desktop-file-validate "$@" 2>&1) && [ -z "$said" ] || { echo "$said"; exit 1; } ;;
  appstreamcli)
    appstreamcli validate --no-net --pedantic "$@" ;;
  man)
    for page in "$@"; do
      said=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
      [ -z "$said" ] || { echo "$page: $said"; exit 1; }
    done ;;
  *)
    echo "unknown validator $tool"
    exit 2 ;;
esac
echo "valid: $*"
