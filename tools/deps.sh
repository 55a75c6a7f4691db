#!/bin/bash
# Installs the Debian packages the build and the tests need, if any is missing.
set -eu
packages=(
    cmake ninja-build make g++ googletest
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32
    binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine wine64 bubblewrap xvfb xauth
    clang libclang-rt-14-dev
    gcab zlib1g-dev zip
    python3 python3-jsonschema python3-yaml
    nlohmann-json3-dev chromium
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
