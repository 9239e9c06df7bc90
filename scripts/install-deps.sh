#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run need, when some are missing.
#   install-deps.sh        the native and mingw toolchains, Wine, Xvfb and the test clients
#   install-deps.sh fuzz   also clang, for the libFuzzer targets
# Only what is used: the x86-64 mingw toolchain (not the i686 one the mingw-w64 bundle adds),
# gpsd's C clients and its Python module (not gpsd-clients, whose plotting tools pull in
# matplotlib, SciPy and the Boost headers); GDAL's and GPSBabel's command-line tools read
# navdump's exports back.
set -euo pipefail
packages=(cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev clang-format
          g++-mingw-w64-x86-64-posix wine wine64 xvfb socat imagemagick xdotool python3
          fonts-wine fonts-liberation gpsd-tools python3-gps gdal-bin gpsbabel)
[ "${1:-}" = fuzz ] && packages+=(clang)
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
