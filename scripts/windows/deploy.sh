#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Completes an installed Windows folder into one that runs anywhere:
#   scripts/windows/deploy.sh FOLDER
# copies Qt's plugins and translations and every DLL that a program, module
# or plugin in FOLDER imports, and then checks the whole folder: each DLL
# named in an import table is in FOLDER or is part of Windows.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/windows/env.sh
. "$here/env.sh"
folder=${1:?usage: deploy.sh FOLDER}
qt=$ZOMA_MINGW_PREFIX

# Qt looks for plugins in folders beside the program.
for plugin in platforms/qwindows styles/qwindowsvistastyle imageformats/qjpeg \
    imageformats/qgif imageformats/qico; do
    mkdir -p "$folder/$(dirname $plugin)"
    cp "$qt/plugins/$plugin.dll" "$folder/$plugin.dll"
done
# Qt's own texts (buttons, file dialogs), for the user's language.
mkdir -p "$folder/translations"
cp /usr/share/qt6/translations/qt_*.qm /usr/share/qt6/translations/qtbase_*.qm \
    "$folder/translations/"
rm -f "$folder/translations/qt_help_"*.qm

# Windows' own DLLs, which a program never brings along.
is_system() {
    case ${1,,} in
        api-ms-win-* | ext-ms-*) return 0 ;;
        advapi32.dll | authz.dll | bcrypt.dll | comctl32.dll | comdlg32.dll | crypt32.dll | \
            d2d1.dll | d3d11.dll | d3d12.dll | d3d9.dll | dcomp.dll | dwmapi.dll | dwrite.dll | \
            dxgi.dll | gdi32.dll | gdiplus.dll | imm32.dll | kernel32.dll | mpr.dll | msvcrt.dll | \
            netapi32.dll | ntdll.dll | ole32.dll | oleaut32.dll | rpcrt4.dll | secur32.dll | \
            setupapi.dll | shcore.dll | shell32.dll | shlwapi.dll | ucrtbase.dll | user32.dll | \
            userenv.dll | uxtheme.dll | version.dll | winmm.dll | winspool.drv | ws2_32.dll | \
            wtsapi32.dll | opengl32.dll | dwmapi.dll | propsys.dll | msimg32.dll | usp10.dll | \
            oleacc.dll | uiautomationcore.dll | winhttp.dll | wininet.dll | iphlpapi.dll | \
            cfgmgr32.dll | hid.dll | powrprof.dll | wevtapi.dll | dbghelp.dll | normaliz.dll)
            return 0 ;;
    esac
    return 1
}
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
find_dll() {
    local dir
    for dir in "$qt/bin" "$zoma_gcc_dlls" "$zoma_pthread_dlls"; do
        [ -f "$dir/$1" ] && { echo "$dir/$1"; return 0; }
    done
    return 1
}
local_dll() { find "$folder" -maxdepth 1 -iname "$1" | grep -q .; }

# Copy until nothing new is missing: a copied DLL may import more.
changed=1
while [ "$changed" ]; do
    changed=
    while IFS= read -r -d '' binary; do
        for dll in $(imports "$binary"); do
            is_system "$dll" || local_dll "$dll" && continue
            if source=$(find_dll "$dll"); then
                cp "$source" "$folder/"
                changed=1
            fi
        done
    done < <(find "$folder" \( -iname '*.exe' -o -iname '*.dll' \) -print0)
done

# The check, over the whole folder.
missing=0
while IFS= read -r -d '' binary; do
    for dll in $(imports "$binary"); do
        if ! is_system "$dll" && ! local_dll "$dll"; then
            echo "missing: ${binary#"$folder"/} imports $dll" >&2
            missing=1
        fi
    done
done < <(find "$folder" \( -iname '*.exe' -o -iname '*.dll' \) -print0)
[ $missing -eq 0 ] || exit 1
echo "every DLL the folder imports is in it or part of Windows"
