#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for SECONDS (default 600).
# New inputs that raise coverage are kept in build/fuzz/corpus/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

scripts/install-deps.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZOMA_SANITIZE=ON -DZOMA_FUZZ=ON -DZOMA_BUILD_TESTS=OFF >/dev/null
# ZOMA_FUZZ_TARGETS="read_data_fuzz" runs only the targets named.
read -r -a targets <<< "${ZOMA_FUZZ_TARGETS:-read_data_fuzz level_file_fuzz unzip_fuzz pdf_walk_fuzz}"
cmake --build build/fuzz --target "${targets[@]}"

# The published PDF files seed the PDF target where they are at hand; they
# are copied at run time, never kept in the repository.
published=../shared/fixtures/official-2025-pdf
if [[ -d $published ]]; then
    mkdir -p build/fuzz/seeds/pdf_walk_fuzz
    cp "$published"/*.pdf build/fuzz/seeds/pdf_walk_fuzz/
fi

for t in "${targets[@]}"; do
    mkdir -p "build/fuzz/corpus/$t" "build/fuzz/crashes/$t"
    seeds=("fuzz/corpus/$t")
    [[ -d build/fuzz/seeds/$t ]] && seeds+=("build/fuzz/seeds/$t")
    echo "== $t for ${seconds}s"
    ASAN_OPTIONS=detect_leaks=0 "build/fuzz/bin/$t" -max_total_time="$seconds" \
        -artifact_prefix="build/fuzz/crashes/$t/" -print_final_stats=1 \
        "build/fuzz/corpus/$t" "${seeds[@]}"
done
