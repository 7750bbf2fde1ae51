#!/usr/bin/env bash
# Configures and builds Ferrowyn into BUILD_DIR (default: build). Extra
# arguments go to cmake's configure step, for example -DFERROWYN_SANITIZE=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "$@"
cmake --build "$build_dir" -j "$(nproc)"
