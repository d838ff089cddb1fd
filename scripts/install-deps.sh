#!/usr/bin/env bash
# Installs the Debian packages the build, the tests (the package's too) and the benchmarks need:
# only the ones that are missing, so a machine that already has them is left alone and no
# network is touched.
set -euo pipefail

packages=(
    build-essential cmake make pkg-config dpkg-dev python3
    clang libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    age
    libfreetype-dev libfontconfig-dev libpng-dev fonts-dejavu-core xfonts-base
    libsdl2-dev libx11-dev xvfb xdotool x11-utils x11-xkb-utils imagemagick
    desktop-file-utils libxml2-utils shared-mime-info
    debhelper lintian appstream
    dosfstools fusefat locales
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "These packages are missing and this user cannot install them: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
