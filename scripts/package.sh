#!/usr/bin/env bash
# Builds the Debian package ferrowyn_VERSION_amd64.deb from the build folder BUILD_DIR
# (default: build, configured and built first) into that folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
scripts/build.sh "$@"
(cd "$build_dir" && cpack -G DEB)
ls "$build_dir"/ferrowyn_*.deb
