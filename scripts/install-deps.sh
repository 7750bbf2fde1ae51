#!/usr/bin/env bash
# Installs what building and testing Ferrowyn needs on a Debian machine.
# Runs apt-get only when something is missing. Needs root (or sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-svg-dev libgl-dev fonts-dejavu-core libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev liblz4-dev
  clang libclang-rt-14-dev
  # Real peers for the HTTP client's integration tests; openssl makes their certificates.
  nginx-light tinyproxy openssl
  # adpurge for Windows: the cross compiler, GoogleTest's sources for it, and Wine to test it.
  g++-mingw-w64-x86-64-posix googletest wine wine64
  # pdftotext reads the printed reports back in the tests.
  poppler-utils
  # The install check: icons, validators, manual pages, the package, the fixture server.
  librsvg2-bin desktop-file-utils appstream man-db dpkg-dev fakeroot file python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
