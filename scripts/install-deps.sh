#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the project needs, when any is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config   # compiler and build
    qt6-base-dev libgl-dev             # Qt 6 Core, Gui, Widgets, Test
    libzip-dev                         # reading zip packages
    libpoppler-qt6-dev                 # the text of the published PDF files
    libqpdf-dev                        # the pictures of the published PDF files, as stored
    zlib1g-dev                         # the fuzz check's own inflate
    fonts-wqy-microhei                 # Chinese glyphs for the windows
    qt6-translations-l10n              # Qt's own texts (buttons, file dialogs) in Chinese
    librsvg2-bin                       # the icon's sizes for the menu
    clang-format                       # the formatting check of .ci/run
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
elif command -v sudo >/dev/null 2>&1; then
    sudo apt-get update -qq && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
else
    echo "Please install the missing packages as root:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
fi
