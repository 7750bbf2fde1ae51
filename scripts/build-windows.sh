#!/usr/bin/env bash
# Cross-builds adpurge.exe (static, no DLLs needed) and its test programs for Windows with
# mingw-w64 into BUILD_DIR (default: build-windows). Extra arguments go to cmake's configure.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-windows}
cmake -S adpurge -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" "$@"
cmake --build "$build_dir" -j "$(nproc)"
