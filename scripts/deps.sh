#!/usr/bin/env bash
# Installs what building, testing and running need on Debian 12. Runs apt-get as root, or
# through sudo.
set -euo pipefail
packages=(
  cmake make g++ pkg-config
  qt6-base-dev libgtest-dev
  libjpeg62-turbo-dev libgif-dev libtiff-dev libpng-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  xvfb xauth x11-utils
  xdotool imagemagick python3
)
if [ "${1:-}" = "--bench" ]; then
  packages+=(libjpeg-turbo-progs giflib-tools libtiff-tools time)
fi
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -o DPkg::Lock::Timeout=600
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends \
  -o DPkg::Lock::Timeout=600 "${missing[@]}"
