#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run need, when some are missing.
set -euo pipefail
packages=(cmake make g++ clang libgtest-dev libgmock-dev libbenchmark-dev clang-format
          mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 xvfb socat imagemagick x11-utils
          xdotool python3 fonts-wine fonts-liberation gpsd-clients python3-gps)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
