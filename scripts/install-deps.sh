#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs; with --test also those the tests need.
set -euo pipefail

packages=(
    build-essential cmake pkg-config ccache
    juce-modules-source juce-tools fst-dev
    libasound2-dev libfreetype-dev libfontconfig1-dev libx11-dev libxrandr-dev libxinerama-dev
    libxcursor-dev libxext-dev libgl-dev libcurl4-gnutls-dev
)
if [[ "${1:-}" == "--test" ]]; then
    packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth x11-utils openbox fonts-liberation imagemagick
               clang libclang-rt-14-dev lld ninja-build python3 dpkg-dev lintian desktop-file-utils
               lilv-utils lv2-dev sordi jalv jackd2)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "Installing ${missing[*]} needs root (or sudo)." >&2; exit 1; }
    sudo="sudo"
fi

export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
