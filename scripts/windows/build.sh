#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program, from this Linux machine, in one command:
#   scripts/windows/build.sh
# cross-builds the libraries once (scripts/windows/deps.sh, into a cache
# outside the work tree keyed by that script's recipes), then the program
# and every test, runs the tests under Wine, and makes
#   build/windows/zoma-review-<version>-setup.exe   (the installer)
#   build/windows/zoma-review-<version>-portable.zip
# Options: --deps (only the libraries), --no-tests, --tests-only (no
# installer or zip, as .ci/run does).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
only_deps= run_tests=1 package=1
for arg in "$@"; do
    case $arg in
        --deps) only_deps=1 ;;
        --no-tests) run_tests= ;;
        --tests-only) package= ;;
        *) echo "unknown option: $arg" >&2; exit 2 ;;
    esac
done

# shellcheck source=scripts/windows/env.sh
. scripts/windows/env.sh
scripts/install-deps.sh "${zoma_windows_packages[@]}"
# Wine takes its Windows language and code page from the Linux locale, which
# must exist: a Chinese Windows reads and writes code page 936.
if ! locale -a | grep -qix 'zh_CN.utf8'; then
    echo "zh_CN.UTF-8 UTF-8" >>/etc/locale.gen
    locale-gen >/dev/null
fi

if ! scripts/windows/deps.sh --check "$ZOMA_MINGW_PREFIX"; then
    echo "Cross-building the libraries into $ZOMA_MINGW_PREFIX (once; about $zoma_deps_hours on two busy cores)"
    scripts/windows/deps.sh "$ZOMA_MINGW_PREFIX"
fi
[ "$only_deps" ] && exit 0

out=build/windows
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B $out -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DZOMA_MINGW_PREFIX="$ZOMA_MINGW_PREFIX" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DZOMA_BUILD_TESTS="$([ "$run_tests" ] && echo ON || echo OFF)" >/dev/null
nice -n 10 cmake --build $out

if [ "$run_tests" ]; then
    # Qt's offscreen platform on Windows reads its fonts from one folder, not
    # from Windows: the same ones the Linux tests see (fonts-dejavu-core
    # comes with Debian's Qt).
    fonts=$ZOMA_CACHE/fonts
    mkdir -p "$fonts"
    ln -sf /usr/share/fonts/truetype/wqy/*.tt? /usr/share/fonts/truetype/dejavu/*.ttf "$fonts/"
    # Qt's own translations where the cross-built Qt looks for them, as
    # Debian's Qt has them in its own folder (the shipped folder has them
    # beside the program).
    mkdir -p "$ZOMA_MINGW_PREFIX/translations"
    cp /usr/share/qt6/translations/qtbase_zh_*.qm "$ZOMA_MINGW_PREFIX/translations/"
    wineboot -i >/dev/null 2>&1 || true
    # Wine hands a Unix variable QT_x to Windows programs only as WINEQT_x.
    WINEQT_QPA_FONTDIR=$(winepath -w "$fonts")
    # Without a console window (Wine gives none) Qt Test would report to the
    # debugger's output instead of the test's.
    export WINEQT_QPA_FONTDIR WINEQT_FORCE_STDERR_LOGGING=1 WINEQT_QPA_PLATFORM=offscreen
    # Chinese Windows: the ANSI code page is 936, as on the users' machines.
    # The two PDF window tests pass their cases under Wine but then do not
    # end (README, Windows): left out until that is found.
    LANG=zh_CN.UTF-8 ctest --test-dir $out --output-on-failure -j 2 --timeout 300 \
        -E '^(pdf_window_test|pdf_e2e_test)$'
fi
[ "$package" ] || exit 0

# The folder a user gets: the program, its modules, the libraries they load,
# Qt's plugins and translations, the samples.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $out/CMakeCache.txt)
stage=$out/stage/zoma-review
rm -rf "$out/stage"
cmake --install $out --prefix "$stage" >/dev/null
scripts/windows/deploy.sh "$stage"

rm -f $out/zoma-review-*-setup.exe $out/zoma-review-*-portable.zip
makensis -V2 -DVERSION="$version" -DSTAGE="$root/$stage" \
    -DOUTFILE="$root/$out/zoma-review-$version-setup.exe" scripts/windows/installer.nsi
(cd "$out/stage" && zip -qr9 "../zoma-review-$version-portable.zip" zoma-review)
ls -l $out/zoma-review-"$version"-setup.exe $out/zoma-review-"$version"-portable.zip
