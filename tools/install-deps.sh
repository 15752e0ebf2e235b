#!/usr/bin/env bash
# Installs the Debian packages Voxarine needs to build, test and play.
# Root uses apt-get directly, others go through sudo; without either the
# exact command is printed and the script fails.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-dev
  libsdl2-dev libsdl2-mixer-dev libepoxy-dev libjpeg-dev libstb-dev libimgui-dev
  libfreetype-dev fonts-dejavu-core libvorbis-dev espeak-ng sox
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick x11-utils xfonts-base mesa-utils libgl1-mesa-dri libglx-mesa0
  # Installing and packaging: validators, the .deb tools, lintian, the manual page check.
  desktop-file-utils appstream dpkg-dev file lintian man-db groff-base gzip
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "Please run as root:  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update
"${SUDO[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
