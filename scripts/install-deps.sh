#!/usr/bin/env bash
# Installs what building, running and testing Quillmere needs, from Debian 12's packages.
# Does nothing when everything is already there. Run as root.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev zlib1g-dev liblzma-dev fonts-liberation2 python3 "$@")
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
