#!/usr/bin/env bash
# Installs every Debian package the console, its tests and its tools need.
# Safe to run again: packages already present are skipped by apt.
set -euo pipefail

packages=(
    build-essential cmake pkg-config ninja-build
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-tools-dev qt6-tools-dev-tools
    libqt6svg6-dev qt6-qpa-plugins
    firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
    libcurl4-openssl-dev libxlsxwriter-dev libxss-dev
    xvfb xauth fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update
    $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
