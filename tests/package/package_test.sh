#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a user gets it: unpacked into a temporary root, its
# metadata validated, and the installed program run with its folder
# read-only and a fresh home. Every file must land in the user's data folder
# and nothing may change in the installed tree.
#
# Usage: package_test.sh PACKAGE_DIR DRIVER_LIBRARY
set -euo pipefail

deb=$(find "$1" -maxdepth 1 -name 'zoma-review_*.deb' | sort | tail -n 1)
driver=$2
if [ -z "$deb" ]; then
    echo "no package in $1: scripts/package.sh builds it" >&2
    exit 77
fi

work=$(mktemp -d)
root=$work/root
home=$work/home
cleanup() {
    chattr -R -i "$root" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$root" "$home"
dpkg -x "$deb" "$root"

failures=0
check() {
    if "$@"; then return 0; fi
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

desktop=$root/usr/share/applications/org.zoma.review.desktop
check desktop-file-validate --no-hints "$desktop"
check appstreamcli validate --no-net "$root/usr/share/metainfo/org.zoma.review.metainfo.xml"
check grep -qx 'Exec=zoma_review' "$desktop"
for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
    check test -s "$root/usr/share/icons/hicolor/$size/apps/org.zoma.review.png"
done
check test -s "$root/usr/share/icons/hicolor/scalable/apps/org.zoma.review.svg"

# Immutable, so that not even root may write into the installed tree.
snapshot() { (cd "$root" && find . -printf '%y %m %s %T@ %p\n' | sort); }
before=$(snapshot)
if ! chattr -R +i "$root" 2>/dev/null; then
    echo "this file system cannot make a folder read-only for root" >&2
    exit 77
fi

data=$home/.local/share/zoma_review
echo 'no PDF at all' >"$work/not-a-bank.pdf"
status=0
env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$home" QT_QPA_PLATFORM=offscreen \
    ZOMA_DRIVE_PACKAGE="$root/usr/share/zoma_review/sample-package.zip" \
    ZOMA_DRIVE_PDF="$work/not-a-bank.pdf" ZOMA_DRIVE_DATA="$data/" LD_PRELOAD="$driver" \
    timeout 90 "$root/usr/bin/zoma_review" || status=$?
check test "$status" -eq 0

chattr -R -i "$root"
check test "$(snapshot)" = "$before"

# The library, the record and the export, in the layout of a program folder.
expected=$(printf '%s\n' A类考试题库.TXT lib lib/A类业余电台操作证书试卷涉及题号.txt \
    lib/B类业余电台操作证书试卷涉及题号.txt lib/C类业余电台操作证书试卷涉及题号.txt \
    lib/LS0005.jpg lib/LS0012.jpg lib/LS0023.jpg 'lib/总题库文件(样例v1).txt' record.txt | sort)
check test "$( (cd "$data" 2>/dev/null && find . -mindepth 1 -printf '%P\n') | sort)" = "$expected"
check grep -qx $'3\r' "$data/record.txt"
exported() { head -n 1 "$data/A类考试题库.TXT" | iconv -f GBK -t UTF-8 | grep -q '^A类考试题库20'; }
check exported

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package test passed: $(basename "$deb")"
