# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the Windows scripts: the packages they need, where the
# cross-built libraries are cached, and Wine set up to run what is built.

zoma_windows_packages=(
    g++-mingw-w64-x86-64-posix mingw-w64-tools  # the cross compiler
    wine wine64 locales                         # running the tests and the program, in Chinese
    nsis zip                                    # the installer and the portable zip
    icoutils librsvg2-bin                       # the program's icon
    dpkg-dev                                    # apt-get source
    qt6-base-dev-tools                          # moc, rcc, uic for the cross-built Qt
    qt6-translations-l10n                       # Qt's own texts, shipped in translations/
    fonts-wqy-microhei fonts-dejavu-core        # the fonts of the tests on the offscreen platform
)
zoma_deps_hours="70 minutes"

# The cross-built libraries, outside the work tree; scripts/windows/deps.sh
# keys each by its recipe, so a changed script rebuilds what it changed.
ZOMA_CACHE=${ZOMA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zoma-review}
export ZOMA_MINGW_PREFIX=${ZOMA_MINGW_PREFIX:-$ZOMA_CACHE/mingw-w64}

# Wine in a prefix of its own, quiet, without asking to download Mono or Gecko.
export WINEPREFIX=${WINEPREFIX:-$ZOMA_CACHE/wine}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
zoma_gcc_dlls=/usr/lib/gcc/x86_64-w64-mingw32/12-posix
zoma_pthread_dlls=/usr/x86_64-w64-mingw32/lib
# Where a test finds Qt and the other libraries: Wine adds this to PATH.
WINEPATH="$(printf 'Z:%s;Z:%s;Z:%s' "$ZOMA_MINGW_PREFIX/bin" "$zoma_gcc_dlls" "$zoma_pthread_dlls" | tr / '\\')"
export WINEPATH
