#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program as a user gets it, under Wine and Xvfb, in a fresh
# Wine prefix whose user has a Chinese name:
#   scripts/windows/try.sh      (after scripts/windows/build.sh)
# installs it silently (/S) and checks the folder, the Start-menu entry and
# the entry under "Apps"; starts the installed program and drives it through
# the import window with the sample package, each level, a question with its
# picture, an export (read back as GBK), 学习中心 and a printed paper, saving
# pictures of the main window, the practice window and 今日复习 into docs/;
# uninstalls it; and last compares the real banks with the Linux build
# (scripts/windows/compare-banks.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
# shellcheck source=scripts/windows/env.sh
. scripts/windows/env.sh
scripts/install-deps.sh xvfb xauth fonts-wqy-microhei

out=build/windows
setup=$(find $out -maxdepth 1 -name 'zoma-review-*-setup.exe' | sort | tail -n 1)
[ -n "$setup" ] || { echo "no installer in $out: run scripts/windows/build.sh first" >&2; exit 1; }
cmake --build $out --target package_drive >/dev/null

fail() { echo "try: $*" >&2; exit 1; }
export WINEPREFIX=$ZOMA_CACHE/wine-try LANG=zh_CN.UTF-8 USER=张三 LOGNAME=张三
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
# Wine has no Chinese font of its own; on a Chinese Windows the system's are there.
cp /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$WINEPREFIX/drive_c/windows/Fonts/"
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

echo "== installing $(basename "$setup") silently"
wine "$setup" /S
wineserver -w
program="$WINEPREFIX/drive_c/Program Files/ZOMA Review"
for f in zoma_review.exe uninstall.exe libzoma_unzip_engine.dll libzoma_pdf.dll \
    platforms/qwindows.dll translations/qtbase_zh_CN.qm samples/sample-package.zip LICENSE.txt; do
    [ -f "$program/$f" ] || fail "the installer left out $f"
done
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\zoma-review'
wine reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no entry under Apps"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
[ -f "$menu/ZOMA 考试题库复习工具.lnk" ] || fail "no Start-menu entry"
echo "installed, with its Start-menu entry and its entry under Apps"

echo "== the installed program, driven as a user"
appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r' | iconv -f GBK -t UTF-8)
data="$appdata\\zoma_review\\"
echo 'no PDF at all' >"$work/not-a-bank.pdf"
sequence=$(grep -o 'LS[0-9]*' sample/A类.txt | grep -n -x LS0005 | cut -d: -f1)
mkdir -p "$work/shots"
# Wine hands a Unix variable QT_x to Windows programs only as WINEQT_x.
WINEQT_PLUGIN_PATH="$(winepath -w "$root/$out/drive")" WINEQT_QPA_GENERIC_PLUGINS=zoma_drive \
    ZOMA_DRIVE_PACKAGE='C:\Program Files\ZOMA Review\samples\sample-package.zip' \
    ZOMA_DRIVE_PDF="$(winepath -w "$work/not-a-bank.pdf")" ZOMA_DRIVE_DATA="$data" \
    ZOMA_DRIVE_SHOTS="$(winepath -w "$work/shots")" ZOMA_DRIVE_SEQUENCE="$sequence" \
    timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp" \
    wine "$program/zoma_review.exe" || fail "the run did not end well"
datadir=$(winepath -u "$data")
[ ! -e "$program/lib" ] || fail "the installed program wrote into its own folder"
exported="$datadir/A类考试题库.TXT"
iconv -f GBK -t UTF-8 "$exported" >"$work/export.txt" || fail "the export is not GBK"
grep -q 'A类' "$work/export.txt" || fail "the export does not name its level"
echo "export read back as GBK: $(wc -l <"$work/export.txt") lines"
for shot in main-window practice-window study-window; do
    cp "$work/shots/$shot.png" "docs/windows-$shot.png"
    echo "docs/windows-$shot.png"
done

echo "== uninstalling"
wine "$program/uninstall.exe" /S
wineserver -w
sleep 2  # the uninstaller finishes from a copy of itself
[ ! -e "$program/zoma_review.exe" ] || fail "the uninstaller left the program"
! wine reg query "$key" >/dev/null 2>&1 || fail "the entry under Apps stayed"
[ -f "$exported" ] || fail "the uninstaller removed the user's files"
echo "uninstalled; the user's files stay in $data"

scripts/windows/compare-banks.sh
