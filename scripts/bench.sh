#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmark suite in Release and runs it. Each figure is measured
# side by side with its yardstick in the same run, repetitions interleaved at
# random so that a busy machine weighs on both alike; the table at the end
# gives the medians as ratios against their limits. Exits 1 when a limit is
# missed. Extra arguments go to Google Benchmark (e.g. --benchmark_filter=load).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh libbenchmark-dev unzip poppler-utils
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOMA_BENCH=ON >/dev/null
cmake --build build/bench --target zoma_bench

exec build/bench/bin/zoma_bench \
    --benchmark_repetitions="${ZOMA_BENCH_REPETITIONS:-9}" \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true \
    --benchmark_out=build/bench/bench.json --benchmark_out_format=json \
    "$@"
