#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest; then adpurge's tests again,
# cross-built for Windows, under Wine (ADPURGE_WINDOWS_TESTS=off leaves them out).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh "$@"
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "$(nproc)" --timeout 900
if [ "${ADPURGE_WINDOWS_TESTS:-on}" != off ]; then
  scripts/test-windows.sh
fi
