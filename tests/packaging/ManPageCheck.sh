#!/usr/bin/env bash
# Formats the manual page with groff's warnings on; any warning fails. Skipped
# (status 77) on a machine without groff.
#   ManPageCheck.sh MANUAL_PAGE
set -euo pipefail
command -v groff >/dev/null || { echo "groff is missing: manual page not checked"; exit 77; }
said=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$1" 2>&1) || { echo "$said" >&2; exit 1; }
[ -z "$said" ] || { echo "$said" >&2; exit 1; }
LC_ALL=C.UTF-8 groff -man -Tutf8 -P-cbou "$1" | grep -q 'SERIAL PORT PERMISSIONS' || { echo "the page does not format" >&2; exit 1; }
echo "manual page formats without warnings"
