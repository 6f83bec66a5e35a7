# Toolchain for the 64-bit Windows build: Debian's mingw-w64 with posix threads
# (std::thread through winpthreads), finding libraries only in the mingw sysroot
# and in the prefix that scripts/win_deps.sh fills.
#
#   cmake -S . -B build-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# pkg-config looks in the prefix alone. Its libraries are static, so link with
# the <PREFIX>_STATIC_LDFLAGS / <PREFIX>_STATIC_LIBRARIES variables that
# pkg_check_modules sets (the IMPORTED_TARGET carries the shared flags only).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_kyv_host x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_kyv_host}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_kyv_host}-g++-posix)
set(CMAKE_RC_COMPILER ${_kyv_host}-windres)

# Where scripts/win_deps.sh puts them by default (its --prefix prints it).
if(DEFINED ENV{KYV_WIN_CACHE} AND NOT "$ENV{KYV_WIN_CACHE}" STREQUAL "")
    set(_kyv_win_cache "$ENV{KYV_WIN_CACHE}")
elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(_kyv_win_cache "$ENV{XDG_CACHE_HOME}/kyv_pop/win64")
elseif(DEFINED ENV{HOME} AND NOT "$ENV{HOME}" STREQUAL "")
    set(_kyv_win_cache "$ENV{HOME}/.cache/kyv_pop/win64")
else()
    set(_kyv_win_cache "${CMAKE_CURRENT_LIST_DIR}/../.cache/win64")
endif()
set(KYV_WIN_DEPS "${_kyv_win_cache}/prefix"
    CACHE PATH "Prefix holding the Windows builds of the third-party libraries (scripts/win_deps.sh)")
get_filename_component(KYV_WIN_DEPS "${KYV_WIN_DEPS}" ABSOLUTE)
# try_compile projects read this file again and must see the same prefix.
# (list(FIND) rather than IN_LIST: projects of older CMake policies use this
# file too.)
list(FIND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KYV_WIN_DEPS _kyv_listed)
if(_kyv_listed EQUAL -1)
    list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KYV_WIN_DEPS)
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${_kyv_host} "${KYV_WIN_DEPS}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(ENV{PKG_CONFIG_LIBDIR} "${KYV_WIN_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Lets ctest and add_custom_command run the built .exe files where wine is there.
find_program(KYV_WINE NAMES wine)
if(KYV_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${KYV_WINE}")
endif()
