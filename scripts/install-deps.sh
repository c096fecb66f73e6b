#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, only those missing.
# Further packages given as arguments are installed the same way (make fuzz uses this).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n qt6-qpa-plugins libgl-dev
  libpng-dev libjpeg62-turbo-dev libturbojpeg0-dev zlib1g-dev libzip-dev libdeflate-dev libwmf-dev libemf2svg-dev
  libbenchmark-dev libcsv-dev
  fonts-liberation2 fontconfig
  # Needed at run time although the libraries only recommend them, and this script installs
  # without recommendations (every Recommends of the libraries the program and its plugins
  # load was checked):
  # - fonts-urw-base35: libwmf draws every WMF with these fonts and refuses the file without
  #   them (recommended by libwmf-0.2-7);
  # - shared-mime-info: Debian's Qt has no MIME database of its own; the file dialogs read
  #   this one (recommended by libglib2.0-0);
  # - qt6-qpa-plugins and qt6-translations-l10n above (recommended by libqt6gui6 and
  #   libqt6core6): the X11 window plugin, and the Portuguese texts of Qt's own dialogs.
  # Left out: qt6-gtk-platformtheme (only the GNOME look of Qt's dialogs), libglib2.0-data
  # and xdg-user-dirs (message translations and the creation of ~/Documentos and the like).
  fonts-urw-base35 shared-mime-info
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
