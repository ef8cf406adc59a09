#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program in Release and starts it, with the sample question bank
# in its library folder when that folder holds no bank yet.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOMA_BUILD_TESTS=OFF >/dev/null
cmake --build build/release

bin=build/release/bin
if [ -z "$(find "$bin/lib" -maxdepth 1 -type f -iname '总题库文件*.txt' 2>/dev/null)" ]; then
    mkdir -p "$bin/lib"
    cp build/release/sample/lib/* "$bin/lib/"
    echo "Sample question bank placed in $bin/lib"
fi
exec "$bin/zoma_review" "$@"
