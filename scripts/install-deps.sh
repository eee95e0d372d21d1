#!/usr/bin/env bash
# Installs, idempotently, every Debian package that building, testing and benchmarking Orvane+ need.
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev
  portaudio19-dev libportaudio2
  libgtest-dev libgmock-dev libbenchmark-dev
  libfftw3-dev
  clang libclang-rt-14-dev
  xvfb xauth imagemagick xdotool
  pulseaudio pulseaudio-utils libasound2-plugins
  sox
  libcli11-dev nlohmann-json3-dev
  clang-format
  libpng-dev libpng16-16
  libliquid-dev libliquid1
  librsvg2-bin desktop-file-utils groff-base gzip
  dpkg-dev file
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
