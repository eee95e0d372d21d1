#!/usr/bin/env bash
# Installs, idempotently, the Debian packages that Orvane+ needs, and says nothing when all are there.
#   install-deps.sh --run    what building and running the two programs need (make run, make install)
#   install-deps.sh --test   that, and what the tests, benchmarks, fuzzers, sanitizer builds and the
#                            package's checks need (make test); the default
set -euo pipefail

RUN_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev
  portaudio19-dev libportaudio2
  libcli11-dev nlohmann-json3-dev
  libpng-dev libpng16-16
  libliquid-dev libliquid1
  librsvg2-bin gzip
)

TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev
  libfftw3-dev
  clang libclang-rt-14-dev
  xvfb xauth imagemagick xdotool
  pulseaudio pulseaudio-utils libasound2-plugins
  sox
  clang-format
  desktop-file-utils groff-base
  dpkg-dev file lintian appstream
)

case "${1:---test}" in
  --run) PACKAGES=("${RUN_PACKAGES[@]}") ;;
  --test) PACKAGES=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  *)
    echo "usage: $0 [--run | --test]" >&2
    exit 2
    ;;
esac

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
