#!/usr/bin/env bash
# Builds adpurge for Windows (scripts/build-windows.sh) and runs its test programs under Wine,
# all in one fresh temporary Wine prefix (set up once: that takes most of the time) with Wine's
# debug output off. The prefix and its wineserver are gone afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${WINDOWS_BUILD_DIR:-build-windows}
BUILD_DIR=$build_dir scripts/build-windows.sh
prefix=$(mktemp -d "${TMPDIR:-/tmp}/adpurge-wine-XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT
echo "=== Windows tests under $(wine --version 2>/dev/null) in $prefix"
wineboot -i >/dev/null 2>&1
status=0
for test_program in "$build_dir"/*_tests.exe; do
  echo "--- $test_program"
  # The bound only guards against a hung run; the tests themselves wait for conditions.
  code=0
  timeout 1800 wine "$test_program" >"$prefix/output.txt" 2>&1 || code=$?
  # Debian's wine wrapper asks for the 32-bit half, which 64-bit programs do not need.
  grep -v -e "wine32 is missing" -e "multiarch needs" -e "dpkg --add-architecture" \
    -e "apt-get install wine32" "$prefix/output.txt" || true
  if [ "$code" -ne 0 ]; then
    echo "FAILED under Wine: $test_program (exit $code)"
    status=1
  fi
done
exit $status
