#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking Quilvane need.
# Packages already present are skipped, so a warm machine is ready in a second or two.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libicu-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev libuchardet-dev libtag1-dev
  python3 python3-mutagen
  fusefat dosfstools
  desktop-file-utils appstream fonts-noto-cjk dpkg-dev file man-db groff-base
  xvfb xauth xdotool
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
