#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program reads the real banks exactly as the Linux one does:
# each package in ../shared/fixtures is imported, read level by level and
# exported by bank_digest from both builds (the Windows one under Wine), and
# the counts and export digests must be equal.
#   scripts/windows/compare-banks.sh [LINUX_BUILD] [WINDOWS_BUILD]
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=scripts/windows/env.sh
. scripts/windows/env.sh
linux=${1:-build/test}
windows=${2:-build/windows}
fixtures=${ZOMA_FIXTURES:-../shared/fixtures}
cmake --build "$linux" --target bank_digest >/dev/null
cmake --build "$windows" --target bank_digest >/dev/null

compgen -G "$fixtures/*.zip" >/dev/null || { echo "no banks in $fixtures (set ZOMA_FIXTURES)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for zip in "$fixtures"/*.zip; do
    name=$(basename "$zip" .zip)
    "$linux/bin/bank_digest" "$zip" "$work/linux-$name" >"$work/linux-$name.txt"
    LANG=zh_CN.UTF-8 wine "$windows/bin/bank_digest.exe" "$(winepath -w "$zip")" \
        "$(winepath -w "$work")\\windows-$name" 2>/dev/null | tr -d '\r' >"$work/windows-$name.txt"
    if diff -u "$work/linux-$name.txt" "$work/windows-$name.txt"; then
        echo "$name: the same on Linux and Windows"
        sed 's/^/    /' "$work/linux-$name.txt"
    else
        status=1
    fi
done
exit $status
