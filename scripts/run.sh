#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program. Arguments go
# to the program (a site file to open).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh >&2
exec "${BUILD_DIR:-build}/gui/ferrowyn" "$@"
