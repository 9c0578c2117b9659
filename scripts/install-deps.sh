#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev
  qt6-translations-l10n
  libsqlcipher-dev sqlcipher libssl-dev
  libcsv-dev libzip-dev libxlsxwriter-dev python3-openpyxl
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation
  cups cups-client printer-driver-cups-pdf poppler-utils
  time
  xvfb xauth
  clang libclang-rt-14-dev
  desktop-file-utils shared-mime-info appstream lintian dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
