#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds the libraries the Windows program needs, from Debian's own
# source packages (the same upstream versions Debian ships), into one prefix:
#   scripts/windows/deps.sh PREFIX           builds what is missing or changed
#   scripts/windows/deps.sh --check PREFIX   true when nothing is
# Each library is keyed by its recipe below, the toolchain file and the keys
# of the libraries before it; its stamp in PREFIX holds the key it was built
# with. So a run that failed goes on from the library that failed, a changed
# recipe rebuilds that library and those after it, and an unchanged script
# builds nothing. Built niced on two jobs: the machine is shared.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
check=
if [ "${1:-}" = --check ]; then
    check=1
    shift
fi
prefix=${1:?usage: deps.sh [--check] PREFIX}
if [ "$check" ] && [ ! -d "$prefix" ]; then exit 1; fi
mkdir -p "$prefix"
# The real folder: Qt and the .pc files record the path they were built for.
prefix=$(cd "$prefix" && pwd -P)
cache=$(dirname "$prefix")
src=$cache/src
work=$cache/build-$(basename "$prefix")
jobs=${ZOMA_JOBS:-2}

# Debian's own mirror entry, as a source entry too.
add_sources() {
    sources=/etc/apt/sources.list.d/zoma-review-src.sources
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$sources"
        else
            grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >/etc/apt/sources.list.d/zoma-review-src.list
        fi
        apt-get update -qq
    fi
}

# The source package of each library, unpacked with Debian's patches.
fetch() {
    local pkg=$1 dir
    dir=$(find "$src" -maxdepth 1 -type d -name "$2-*" | head -n1)
    if [ -z "$dir" ]; then
        # The newest version whose files the mirror serves: a security
        # entry can list a source it does not hold.
        local v
        for v in $(apt-cache showsrc "$pkg" | awk '/^Version:/ {print $2}' | sort -Vru); do
            (cd "$src" && apt-get source -qq "$pkg=$v" >/dev/null 2>&1) && break
        done
        dir=$(find "$src" -maxdepth 1 -type d -name "$2-*" | head -n1)
    fi
    echo "$dir"
}

tc=$root/cmake/mingw-w64.cmake
cmake_lib() {
    local name=$1 dir=$2
    shift 2
    nice -n 19 cmake -S "$dir" -B "$work/$name" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$tc" -DZOMA_MINGW_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DBUILD_SHARED_LIBS=ON "$@"
}
build_install() {
    local name=$1
    shift
    nice -n 19 cmake --build "$work/$name" -j "$jobs" "$@"
    cmake --install "$work/$name"
}
step() {
    local name=$1
    [ "$(cat "$prefix/.built-$name" 2>/dev/null)" = "${keys[$name]}" ] && return 0
    echo "== $name ($(date +%T))"
    "build_$name"
    echo "${keys[$name]}" >"$prefix/.built-$name"
}
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig

build_zlib() {
    local dir
    dir=$(fetch zlib zlib)
    # Debian's source leaves out win32/; the DLL's resource only names it.
    if [ ! -f "$dir/win32/zlib1.rc" ]; then
        mkdir -p "$dir/win32"
        printf '1 VERSIONINFO\nFILEVERSION 1,2,13,0\nBEGIN\nEND\n' >"$dir/win32/zlib1.rc"
    fi
    cmake_lib zlib "$dir"
    build_install zlib
}
build_libpng() {
    cmake_lib libpng "$(fetch libpng1.6 libpng1.6)" -DPNG_STATIC=OFF -DPNG_TESTS=OFF \
        -DPNG_EXECUTABLES=OFF -DPNG_BUILD_ZLIB=OFF
    build_install libpng
}
build_libjpeg() {
    cmake_lib libjpeg "$(fetch libjpeg-turbo libjpeg-turbo)" -DENABLE_STATIC=OFF \
        -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
    build_install libjpeg
}
build_freetype() {
    cmake_lib freetype "$(fetch freetype freetype)" -DFT_DISABLE_BZIP2=ON \
        -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON -DFT_REQUIRE_PNG=ON -DFT_REQUIRE_ZLIB=ON
    build_install freetype
}
build_qtbase() {
    # Only what the program, its tests and Poppler's Qt front end use (the
    # offscreen platform of the tests needs FreeType); the host tools (moc,
    # rcc, uic) are Debian's own Qt of the same version.
    local dir
    dir=$(fetch qt6-base qt6-base)
    # Qt 6.4 builds the DirectWrite font database into Gui only with
    # Direct2D, which is left out, but the windows platform still asks for
    # it; it is an option there, GDI's is the default.
    sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
        "$dir/src/plugins/platforms/windows/qwindowsintegration.cpp"
    cmake_lib qtbase "$dir" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
        -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_concurrent=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_direct2d=OFF -DFEATURE_icu=OFF \
        -DFEATURE_glib=OFF -DFEATURE_zstd=OFF -DFEATURE_tabletevent=OFF \
        -DFEATURE_system_zlib=ON -DFEATURE_system_png=ON -DFEATURE_system_jpeg=ON \
        -DFEATURE_freetype=ON -DFEATURE_system_freetype=ON \
        -DFEATURE_sql_sqlite=OFF -DFEATURE_openssl=OFF
    build_install qtbase
}
build_libzip() {
    cmake_lib libzip "$(fetch libzip libzip)" -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
        -DENABLE_ZSTD=OFF -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF \
        -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=ON -DBUILD_TOOLS=OFF \
        -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
    build_install libzip
}
build_qpdf() {
    local dir
    dir=$(fetch qpdf qpdf)
    # The import library is libadvapi32.a; Windows' own file names ignore case.
    sed -i 's/REQUIRED_LIBRARIES Advapi32)/REQUIRED_LIBRARIES advapi32)/' "$dir/CMakeLists.txt"
    # zlib's pkg-config file says -lz, as on Unix, for its libzlib.dll.a.
    ln -sf libzlib.dll.a "$prefix/lib/libz.dll.a"
    cmake_lib qpdf "$dir" -DREQUIRE_CRYPTO_NATIVE=ON -DUSE_IMPLICIT_CRYPTO=OFF \
        -DBUILD_STATIC_LIBS=OFF -DBUILD_DOC=OFF -DINSTALL_EXAMPLES=OFF -DINSTALL_MANUAL=OFF
    # The library alone: its command-line tools and tests are not needed.
    nice -n 19 cmake --build "$work/qpdf" -j "$jobs" --target libqpdf
    cmake --install "$work/qpdf" --component dev
    # Its install rule takes the DLL for a Unix library and leaves it out.
    cp "$work/qpdf/libqpdf/"qpdf*.dll "$prefix/bin/"
    cp "$work/qpdf/libqpdf/libqpdf.a" "$prefix/lib/libqpdf.dll.a"
}
build_poppler() {
    cmake_lib poppler "$(fetch poppler poppler)" -DENABLE_QT6=ON -DENABLE_QT5=OFF \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DENABLE_CPP=OFF -DENABLE_GLIB=OFF -DENABLE_GOBJECT_INTROSPECTION=OFF \
        -DENABLE_UTILS=OFF -DENABLE_BOOST=OFF -DENABLE_LIBOPENJPEG=none \
        -DENABLE_DCTDECODER=libjpeg -DENABLE_CMS=none -DENABLE_LIBCURL=OFF \
        -DENABLE_LIBTIFF=OFF -DENABLE_NSS3=OFF -DENABLE_GPGME=OFF -DENABLE_ZLIB=ON \
        -DWITH_Cairo=OFF -DWITH_GLIB=OFF -DFONT_CONFIGURATION=win32 \
        -DBUILD_GTK_TESTS=OFF -DBUILD_QT5_TESTS=OFF -DBUILD_QT6_TESTS=OFF \
        -DBUILD_CPP_TESTS=OFF -DBUILD_MANUAL_TESTS=OFF -DENABLE_GTK_DOC=OFF
    build_install poppler
}

# Those that need no Qt first, so that a change to Qt's recipe leaves them.
libs=(zlib libpng libjpeg freetype libzip qpdf qtbase poppler)
declare -A keys
key=
for lib in "${libs[@]}"; do
    key=$({
        echo "$key"
        declare -f cmake_lib build_install fetch "build_$lib"
        cat "$tc"
    } | sha256sum | cut -c1-16)
    keys[$lib]=$key
done
if [ "$check" ]; then
    [ "$(cat "$prefix/.complete" 2>/dev/null)" = "$key" ]
    exit
fi
[ "${ZOMA_PRINT_KEYS:-}" ] && { for lib in "${libs[@]}"; do echo "$lib ${keys[$lib]}"; done; exit 0; }

mkdir -p "$src" "$work"
add_sources
# Fetch every source first: a missing one fails before hours of compiling.
for p in "zlib zlib" "libpng1.6 libpng1.6" "libjpeg-turbo libjpeg-turbo" "freetype freetype" \
    "qt6-base qt6-base" "libzip libzip" "qpdf qpdf" "poppler poppler"; do
    # shellcheck disable=SC2086
    fetch $p >/dev/null
done
[ "${ZOMA_FETCH_ONLY:-}" ] && exit 0
# ZOMA_LIBS names some to build alone, say the one that failed last.
for lib in ${ZOMA_LIBS:-${libs[*]}}; do
    step "$lib"
done
[ "${ZOMA_LIBS:-}" ] || echo "$key" >"$prefix/.complete"
