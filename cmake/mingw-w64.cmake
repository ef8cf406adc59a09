# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-building for 64-bit Windows with Debian's mingw-w64 (posix threads,
# which std::thread and Qt need). ZOMA_MINGW_PREFIX is the folder the
# libraries were cross-built into (scripts/windows/deps.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_AR ${_triple}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${_triple}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT ZOMA_MINGW_PREFIX AND DEFINED ENV{ZOMA_MINGW_PREFIX})
    set(ZOMA_MINGW_PREFIX $ENV{ZOMA_MINGW_PREFIX})
endif()
set(ZOMA_MINGW_PREFIX "${ZOMA_MINGW_PREFIX}" CACHE PATH "Cross-built libraries")
# try_compile projects see the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZOMA_MINGW_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple} ${ZOMA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(ZOMA_MINGW_PREFIX)
    list(PREPEND CMAKE_PREFIX_PATH ${ZOMA_MINGW_PREFIX})
    # pkg-config looks only into the prefix, never at the build machine's .pc files.
    set(ENV{PKG_CONFIG_LIBDIR} "${ZOMA_MINGW_PREFIX}/lib/pkgconfig")
    set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
endif()

# Tests run under Wine; Qt's own libraries are found beside them (see
# scripts/windows/build.sh), the platform is Qt's offscreen one.
find_program(ZOMA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(ZOMA_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZOMA_WINE})
endif()
