#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the program needs.
# Idempotent: when everything is present it only checks, and apt-get update runs only
# when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache git
  qt6-base-dev qt6-base-dev-tools libqt6svg6
  libzip-dev zipcmp zipmerge ziptool
  libcurl4-openssl-dev libsword-dev sword-text-kjv
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth poppler-utils unzip
  fonts-liberation2 fonts-dejavu-core fonts-sil-ezra fonts-sil-gentiumplus fonts-noto-core
  python3-pyftpdlib
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# npm fetches the open sources of the default database; a machine may already carry its own Node.js.
if ! command -v npm >/dev/null 2>&1; then missing+=(nodejs npm); fi

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
