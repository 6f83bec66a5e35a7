#!/usr/bin/env bash
# Cross-builds the third-party libraries of the 64-bit Windows build (mingw-w64,
# posix threads) from Debian's own source packages into <cache>/prefix:
# static zlib, libpng, pixman, cairo (win32 surface and fonts), glew (static and
# DLL), civetweb, TurboJPEG and googletest, with the recipes the shipped Linux
# plugin's libraries share (scripts/deps/common.sh). Safe to run again: a
# library whose stamp (its Debian
# source version, its recipe number here and its dependencies' stamps) matches
# what is installed is not rebuilt. Each library's build log is in
# <cache>/logs/. KYV_WIN_JOBS sets the parallel jobs of each library (default 2).
#
# The cache is kept outside the clone, in $KYV_WIN_CACHE, by default
# ~/.cache/kyv_pop/win64 (.cache/win64 in the clone where there is no home), so
# every checkout on the machine, and CI's fresh clone, share one build.
#   scripts/win_deps.sh           build what is missing or out of date
#   scripts/win_deps.sh --check   prove the prefix usable (below)
#   scripts/win_deps.sh --prefix  print the prefix
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tag=win_deps
target=win64
host=x86_64-w64-mingw32
# shellcheck source=deps/common.sh
. scripts/deps/common.sh
cache=$(cache_folder KYV_WIN_CACHE win64)
src_dir=$cache/src
build_dir=$cache/build
log_dir=$cache/logs
prefix=$cache/prefix
stamp_dir=$prefix/share/kyv-win-deps
jobs=${KYV_WIN_JOBS:-2}
check_jobs

# Bump a library's number when its recipe changes, so it is rebuilt.
declare -A recipe_version=([zlib]=1 [libpng1.6]=2 [pixman]=3 [cairo]=3 [glew]=3 [googletest]=2
    [civetweb]=1 [libjpeg-turbo]=1)
# Build order; a library's stamp includes those of the ones it links.
libs=(zlib libpng1.6 pixman cairo glew civetweb libjpeg-turbo googletest)
# The same libraries side by side: the chains of a wave (split by |) build at
# once, each in order, after the wave before. Most of cairo's build is its
# configure, one process at a time, which leaves a core for the others.
waves=("zlib libpng1.6|pixman civetweb" "cairo|glew libjpeg-turbo googletest")
declare -A deps=([zlib]="" [libpng1.6]="zlib" [pixman]="" [cairo]="zlib libpng1.6 pixman" [glew]=""
    [civetweb]="" [libjpeg-turbo]="" [googletest]="")

install_packages() {
    local packages=(
        g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
        dpkg-dev autoconf automake libtool make pkg-config meson ninja-build cmake python3 xz-utils nasm
    )
    "$root/scripts/ensure_packages.sh" win_deps "${packages[@]}"
}

# Common cross-compilation environment for the recipes. PKG_CONFIG is named so
# autoconf does not pick mingw-w64-tools' wrapper, which looks in the sysroot.
cross_env() {
    export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib STRIP=$host-strip
    export WINDRES=$host-windres RC=$host-windres
    export CFLAGS="-O2" CXXFLAGS="-O2" CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
    export PKG_CONFIG=pkg-config PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
    export PKG_CONFIG_PATH='' PKG_CONFIG_SYSROOT_DIR=''
}

write_meson_cross_file() {
    cat >"$build_dir/meson-cross.ini" <<EOF
[binaries]
c = '$host-gcc-posix'
cpp = '$host-g++-posix'
ar = '$host-ar'
strip = '$host-strip'
windres = '$host-windres'
pkg-config = 'pkg-config'

[built-in options]
c_args = ['-O2']
cpp_args = ['-O2']

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
}

recipe_googletest() {
    cmake -S . -B _build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DKYV_WIN_DEPS="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF \
        -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
    ninja -C _build -j"$jobs" install
}

# The file whose absence means a library must be rebuilt even if its stamp matches.
declare -A key_file=(
    [zlib]=lib/libz.a [libpng1.6]=lib/libpng16.a [pixman]=lib/libpixman-1.a [cairo]=lib/libcairo.a
    [glew]=lib/libglew32.dll.a [civetweb]=lib/libcivetweb.a [libjpeg-turbo]=lib/libturbojpeg.a
    [googletest]=lib/libgmock_main.a
)

run_recipe() {
    (
        set -euo pipefail
        cd "$build_dir/$1"
        cross_env
        "recipe_$1"
    )
}

# --check: proves the prefix is usable the way the Windows build uses it, in a
# temporary folder. The wine runs are skipped where wine is not installed.
check_sources() {
    cat >"$1/caption.cpp" <<'EOF'
#include <GL/glew.h>
#include <cairo.h>
#include <civetweb.h>
#include <turbojpeg.h>
#include <cstdio>

// Draws a caption with the toy font API (win32 fonts), saves it as PNG and
// reports how many pixels the text darkened, so missing fonts show as 0.
int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 200, 60);
    cairo_t *cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 24);
    cairo_move_to(cr, 10, 40);
    cairo_show_text(cr, "KYV 123");
    cairo_surface_flush(surface);
    const unsigned char *data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface), dark = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            dark += data[y * stride + x * 4] < 128;
    cairo_status_t status = cairo_surface_write_to_png(surface, argv[1]);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    // The picture as a JPEG, as the remote viewer sends it.
    tjhandle jpeg = tjInitCompress();
    unsigned char *out = nullptr;
    unsigned long size = 0;
    int jpeg_rc = tjCompress2(jpeg, data, 200, stride, 60, TJPF_BGRA, &out, &size, TJSAMP_420, 80, 0);
    tjFree(out);
    tjDestroy(jpeg);
    std::printf("cairo %s glew %s civetweb %s dark %d jpeg %lu bytes\n", cairo_version_string(),
                reinterpret_cast<const char *>(glewGetString(GLEW_VERSION)), mg_version(), dark, size);
    return status == CAIRO_STATUS_SUCCESS && dark > 50 && jpeg_rc == 0 && size > 100 ? 0 : 1;
}
EOF
    cat >"$1/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.18)
project(win_deps_probe LANGUAGES C CXX)
find_package(GTest REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(C REQUIRED cairo)
if(NOT "${C_STATIC_LDFLAGS}" MATCHES "-lgdi32" OR NOT "${C_CFLAGS}" MATCHES "CAIRO_WIN32_STATIC_BUILD")
    message(FATAL_ERROR "cairo.pc lacks the static flags: ${C_STATIC_LDFLAGS} / ${C_CFLAGS}")
endif()
enable_testing()
add_executable(probe_test probe_test.cpp)
target_link_libraries(probe_test PRIVATE GTest::gmock_main -static)
add_test(NAME probe_test COMMAND probe_test)
EOF
    cat >"$1/probe_test.cpp" <<'EOF'
#include <gmock/gmock.h>
#include <thread>

TEST(win_deps_probe, a_worker_thread_result_is_seen_by_a_matcher)
{
    int value = 0;
    std::thread worker([&] { value = 42; });
    worker.join();
    EXPECT_THAT(value, ::testing::Eq(42));
}
EOF
}

check_static_exe_imports_only_system_dlls() {
    local t=$1 dlls cflags libs
    read -ra cflags <<<"$(pkg-config --cflags cairo glew)"
    read -ra libs <<<"$(pkg-config --static --libs cairo)"
    $host-g++-posix -O2 -Wall -Wextra -Werror -DGLEW_STATIC "${cflags[@]}" "$t/caption.cpp" \
        -o "$t/caption.exe" -static -static-libgcc -static-libstdc++ "${libs[@]}" \
        "$prefix/lib/libglew32.a" -L"$prefix/lib" -lcivetweb -lturbojpeg -lopengl32 -lgdi32 -luser32 -lws2_32
    dlls=$($host-objdump -p "$t/caption.exe" | awk '/DLL Name/{print toupper($3)}')
    echo "imports:" "$dlls"
    local system='KERNEL32|MSVCRT|USER32|GDI32|MSIMG32|OPENGL32|ADVAPI32|WS2_32'
    ! echo "$dlls" | grep -v -x -E "($system)\.DLL"
}

check_static_libraries_export_nothing() {
    local lib found=0
    for lib in "$prefix"/lib/lib*.a; do
        [[ $lib == *.dll.a ]] && continue
        if $host-strings -a "$lib" | grep -- '-export:' >/dev/null; then
            echo "$lib carries dllexport directives"
            found=1
        fi
    done
    [ "$found" -eq 0 ]
}

check_shared_glew_exe_imports_glew32_dll() {
    local t=$1
    printf '%s\n' '#include <GL/glew.h>' 'int main() { return glewGetString(GLEW_VERSION) ? 0 : 1; }' \
        >"$t/glew_dll.cpp"
    local flags
    read -ra flags <<<"$(pkg-config --cflags --libs glew)"
    $host-g++-posix -O2 "$t/glew_dll.cpp" -o "$t/glew_dll.exe" -static-libgcc -static-libstdc++ "${flags[@]}"
    $host-objdump -p "$t/glew_dll.exe" | grep -i 'DLL Name: glew32.dll'
}

check_toolchain_finds_gtest_and_cairo_and_builds_a_test() {
    local t=$1
    cmake -S "$t" -B "$t/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DKYV_WIN_DEPS="$prefix"
    cmake --build "$t/build" -j"$jobs"
}

check_caption_exe_draws_text_and_writes_a_png_under_wine() {
    local t=$1
    WINEDEBUG=-all wine "$t/caption.exe" "$t/caption.png"
    [ "$(head -c 4 "$t/caption.png" | tail -c 3)" = PNG ]
}

check_shared_glew_exe_runs_with_the_dll_from_prefix_bin_under_wine() {
    WINEDEBUG=-all WINEPATH="$prefix/bin" wine "$1/glew_dll.exe"
}

check_gtest_probe_passes_under_wine() {
    WINEDEBUG=-all ctest --test-dir "$1/build" --output-on-failure --no-tests=error
}

run_checks() {
    local dir
    dir=$(mktemp -d)
    cleanup_dirs+=("$dir")
    cross_env
    check_sources "$dir"
    local checks=(static_exe_imports_only_system_dlls static_libraries_export_nothing
        shared_glew_exe_imports_glew32_dll
        toolchain_finds_gtest_and_cairo_and_builds_a_test)
    if command -v wine >/dev/null; then
        checks+=(caption_exe_draws_text_and_writes_a_png_under_wine
            shared_glew_exe_runs_with_the_dll_from_prefix_bin_under_wine gtest_probe_passes_under_wine)
    else
        say "check: wine not installed, skipping the runs"
    fi
    run_check_list "$dir" "${checks[@]}"
}

main() {
    local start=$SECONDS
    case "${1:-}" in
    "") ;;
    --check)
        run_checks
        return
        ;;
    --prefix)
        echo "$prefix"
        return
        ;;
    *) die "usage: scripts/win_deps.sh [--check | --prefix]" ;;
    esac
    lock_cache
    install_packages
    mkdir -p "$build_dir"
    write_meson_cross_file
    build_all
    say "done in $((SECONDS - start)) s"
    say "check the result with: scripts/win_deps.sh --check"
}

main "$@"
