#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every
# test on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZOMA_SANITIZE=ON >/dev/null
cmake --build build/test
QT_QPA_PLATFORM=offscreen ctest --test-dir build/test --output-on-failure --timeout 600
