#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those already present.
set -euo pipefail

# One package a line, so that additions merge cleanly.
packages=(
    cmake
    ninja-build
    g++
    make
    pkg-config
    libgtest-dev
    libgmock-dev
    libbenchmark-dev
    libxml2-utils
    libexpat1-dev
    nlohmann-json3-dev
    php8.2-dev
    php8.2-cli
    php-parser
    openjdk-17-jdk-headless
    junit4
    locales
    libxml2-dev
    libclang-rt-14-dev
    libqrencode-dev
    libpng-dev
    zbar-tools
    librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
