#!/usr/bin/env bash
# Checks that "ferrowyn-cli help" and the manual page list the same commands.
# usage: check-manual-commands.sh FERROWYN-CLI MANUAL-PAGE
set -euo pipefail
from_help=$("$1" help | sed -nE 's/^(  |ferrowyn-cli )([a-z]+).*/\2/p' | sort -u)
from_manual=$(sed -nE 's/^\.SS ([a-z]+)$/\1/p' "$2" | sort -u)
if [ "$from_help" != "$from_manual" ]; then
  echo "ferrowyn-cli help and $2 list different commands:"
  diff <(echo "$from_help") <(echo "$from_manual") || true
  exit 1
fi
echo "the same $(echo "$from_help" | wc -l) commands"
