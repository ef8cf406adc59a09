#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program, from this Linux machine, in one command:
#   scripts/windows/build.sh
# cross-builds the libraries once (scripts/windows/deps.sh, into a cache
# outside the work tree keyed by that script's content), then the program
# and every test, runs the tests under Wine, and makes
#   build/windows/zoma-review-<version>-setup.exe   (the installer)
#   build/windows/zoma-review-<version>-portable.zip
# Options: --deps (only the libraries), --no-tests.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
only_deps= run_tests=1
for arg in "$@"; do
    case $arg in
        --deps) only_deps=1 ;;
        --no-tests) run_tests= ;;
        *) echo "unknown option: $arg" >&2; exit 2 ;;
    esac
done

# shellcheck source=scripts/windows/env.sh
. scripts/windows/env.sh
scripts/install-deps.sh "${zoma_windows_packages[@]}"

if [ ! -f "$ZOMA_MINGW_PREFIX/.complete" ]; then
    echo "Cross-building the libraries into $ZOMA_MINGW_PREFIX (once; about $zoma_deps_hours on two cores)"
    scripts/windows/deps.sh "$ZOMA_MINGW_PREFIX"
fi
[ "$only_deps" ] && exit 0

out=build/windows
cmake -S . -B $out -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DZOMA_MINGW_PREFIX="$ZOMA_MINGW_PREFIX" \
    -DZOMA_BUILD_TESTS="$([ "$run_tests" ] && echo ON || echo OFF)" >/dev/null
nice -n 10 cmake --build $out

if [ "$run_tests" ]; then
    QT_QPA_PLATFORM=offscreen ctest --test-dir $out --output-on-failure -j 2
fi

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
