#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, only those missing.
# Further packages given as arguments are installed the same way (make fuzz uses this).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n qt6-qpa-plugins libgl-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev libzip-dev libwmf-dev libemf2svg-dev
  libbenchmark-dev libcsv-dev
  fonts-liberation2 fontconfig
  xvfb xauth poppler-utils zip unzip imagemagick
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
echo "Installing: ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
