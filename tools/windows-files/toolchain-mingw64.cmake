# CMake toolchain file: Windows x86_64 via Debian 12 mingw-w64 (posix threads),
# resolving Qt6 / SDL2 / SDL2_mixer / libjpeg-turbo / GTest inside this prefix.
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=<prefix>/toolchain-mingw64.cmake ...
# The prefix is located relative to this file, so the tree is relocatable.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER  ${_mingw}-windres)
set(CMAKE_AR           ${_mingw}-ar     CACHE FILEPATH "")
set(CMAKE_RANLIB       ${_mingw}-ranlib CACHE FILEPATH "")

get_filename_component(WINSYS_PREFIX "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)

# Search only the prefix and the mingw-w64 runtime for headers/libs/packages;
# host programs (moc, uic, rcc, pkg-config) come from the host.
set(CMAKE_FIND_ROOT_PATH "${WINSYS_PREFIX}" /usr/${_mingw})
list(APPEND CMAKE_PREFIX_PATH "${WINSYS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt host tools (moc/uic/rcc) from Debian's qt6-base-dev-tools 6.4.2.
if(NOT DEFINED QT_HOST_PATH)
  set(QT_HOST_PATH "/usr" CACHE PATH "Qt host tools prefix")
endif()
if(NOT DEFINED QT_HOST_PATH_CMAKE_DIR)
  set(QT_HOST_PATH_CMAKE_DIR "/usr/lib/x86_64-linux-gnu/cmake" CACHE PATH "Qt host cmake dir")
endif()

# pkg-config: only the prefix's .pc files, with the prefix as sysroot.
set(ENV{PKG_CONFIG_LIBDIR} "${WINSYS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Run target binaries (try_run, gtest_discover_tests) through Wine.
find_program(WINSYS_WINE64 NAMES wine64 wine PATHS /usr/lib/wine)
if(WINSYS_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${WINSYS_WINE64}")
endif()
