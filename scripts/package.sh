#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package build/package/zoma-review_<version>_<arch>.deb
# (install it with: apt install ./build/package/zoma-review_*.deb) and
# validates the menu entry and the software-centre metadata it installs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh dpkg-dev desktop-file-utils appstream
# The tests are built too, not run: they must compile in Release as they do
# in ./test.sh's Debug build. None of them is installed into the package.
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOMA_BUILD_TESTS=ON \
    -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build/package
rm -f build/package/zoma-review_*.deb
(cd build/package && cpack >/dev/null)

deb=$(ls build/package/zoma-review_*.deb)
staged=$(mktemp -d)
trap 'rm -rf "$staged"' EXIT
dpkg -x "$deb" "$staged"
desktop-file-validate --no-hints "$staged"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$staged"/usr/share/metainfo/*.metainfo.xml >/dev/null
echo "$deb"
