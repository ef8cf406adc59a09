#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The start of the Windows program under Wine, from its start until its main
# window has been painted, against a minimal Qt window built the same way
# (bench/minimal_window.cpp): both end through the show probe
# (bench/show_probe.cpp), on Wine's own windows under Xvfb, timed by
# hyperfine. The limit is a ratio of 2 (BENCHMARKS.md).
#   scripts/windows/bench-start.sh      (after scripts/windows/build.sh)
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=scripts/windows/env.sh
. scripts/windows/env.sh
scripts/install-deps.sh hyperfine xvfb xauth

out=build/windows
cmake -S . -B $out -DZOMA_BENCH=ON >/dev/null
cmake --build $out --target zoma_review minimal_window zoma_show_probe
program=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$program"' EXIT
# A portable copy, as a user unpacks it; its data folder is itself.
cp -r $out/stage/zoma-review/. "$program/"
cp $out/bin/zoma_review.exe $out/bin/minimal_window.exe "$program/"

# Wine hands a Unix variable QT_x to Windows programs only as WINEQT_x.
export WINEQT_PLUGIN_PATH WINEDEBUG=-all LANG=zh_CN.UTF-8
WINEQT_PLUGIN_PATH=$(winepath -w "$PWD/$out/bench/plugins")
export WINEQT_QPA_GENERIC_PLUGINS=zoma_show_probe ZOMA_PROBE=shown
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
    wineserver -p  # one server for every run, as on a running desktop
    hyperfine --warmup 3 --runs 20 --export-markdown "$1/start.md" \
        -n "minimal window" "wine $1/minimal_window.exe" \
        -n "zoma_review" "wine $1/zoma_review.exe"' _ "$program"
cat "$program/start.md"
