#!/usr/bin/env bash
# Cross-builds the third-party libraries of the 64-bit Windows build (mingw-w64,
# posix threads) from Debian's own source packages into <cache>/prefix:
# static zlib, libpng, pixman, cairo (win32 surface and fonts), glew (static and
# DLL) and googletest. Safe to run again: a library whose stamp (its Debian
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
if [ -n "${KYV_WIN_CACHE:-}" ]; then
    cache=$KYV_WIN_CACHE
elif [ -n "${XDG_CACHE_HOME:-}" ] || [ -n "${HOME:-}" ]; then
    cache=${XDG_CACHE_HOME:-$HOME/.cache}/kyv_pop/win64
else
    cache=$root/.cache/win64
fi
src_dir=$cache/src
build_dir=$cache/build
log_dir=$cache/logs
prefix=$cache/prefix
stamp_dir=$prefix/share/kyv-win-deps
jobs=${KYV_WIN_JOBS:-2}
if ! [[ $jobs =~ ^[1-9][0-9]*$ ]]; then
    echo "win_deps: error: KYV_WIN_JOBS must be a positive number" >&2
    exit 1
fi
host=x86_64-w64-mingw32
sources_file=/etc/apt/sources.list.d/kyv-pop-src.sources

# Every step announces itself, so a failure deep in apt or a recipe still
# names the step it stopped in.
step="starting"
reported=
check_dir=
say() {
    step=$*
    echo "win_deps: $*"
}
die() {
    echo "win_deps: error: $*" >&2
    reported=1
    exit 1
}
on_exit() {
    local rc=$?
    [ -z "$check_dir" ] || rm -rf "$check_dir"
    if [ "$rc" -ne 0 ] && [ -z "$reported" ]; then
        echo "win_deps: error: stopped (exit $rc) at step: $step" >&2
    fi
}
trap on_exit EXIT

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)

# Bump a library's number when its recipe below changes, so it is rebuilt.
declare -A recipe_version=([zlib]=1 [libpng1.6]=2 [pixman]=3 [cairo]=3 [glew]=3 [googletest]=2)
# Build order; a library's stamp includes those of the ones it links.
libs=(zlib libpng1.6 pixman cairo glew googletest)
# The same libraries side by side: the chains of a wave (split by |) build at
# once, each in order, after the wave before. Most of cairo's build is its
# configure, one process at a time, which leaves a core for glew and googletest.
waves=("zlib libpng1.6|pixman" "cairo|glew googletest")
declare -A deps=([zlib]="" [libpng1.6]="zlib" [pixman]="" [cairo]="zlib libpng1.6 pixman" [glew]=""
    [googletest]="")

install_packages() {
    local packages=(
        g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
        dpkg-dev autoconf automake libtool make pkg-config meson ninja-build cmake python3 xz-utils
    )
    "$root/scripts/ensure_packages.sh" win_deps "${packages[@]}"
}

# Prints the deb-src twin of the main (non-security) stanza of the machine's
# debian.sources, so source packages come from the same mirror and suites as the
# binaries; prints nothing when that stanza already carries deb-src.
src_stanza_from() {
    awk '
        BEGIN { RS = ""; FS = "\n" }
        found { next }
        {
            delete f; name = ""
            for (i = 1; i <= NF; i++) {
                line = $i
                if (line ~ /^#/) continue
                if (line ~ /^[ \t]/) { if (name != "") f[name] = f[name] "\n" line; continue }
                name = line; sub(/:.*/, "", name)
                value = line; sub(/^[^:]*:[ \t]*/, "", value)
                f[name] = value
            }
            if (f["Types"] !~ /(^| )deb( |$)/ || f["Suites"] ~ /-security/ || f["Enabled"] == "no") next
            found = 1
            if (f["Types"] ~ /(^| )deb-src( |$)/) exit
            print "Types: deb-src"
            split("URIs Suites Components Signed-By", keep, " ")
            for (k = 1; k <= 4; k++) if (keep[k] in f) print keep[k] ": " f[keep[k]]
        }
    ' "$1"
}

ensure_source_entry() {
    local main=/etc/apt/sources.list.d/debian.sources want
    if [ -f "$main" ]; then
        want=$(src_stanza_from "$main")
        if [ -z "$want" ] && ! grep -q deb-src "$main"; then
            die "found no main (non-security) deb stanza in $main"
        fi
    else
        want=$(printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" \
            "Suites: bookworm bookworm-updates" "Components: main" \
            "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg")
    fi
    if [ -z "$want" ]; then
        say "debian.sources already lists deb-src"
        [ -f "$sources_file" ] && "${as_root[@]}" rm -f "$sources_file"
    elif [ "$(cat "$sources_file" 2>/dev/null)" != "$want" ]; then
        say "adding source entry $sources_file"
        printf '%s\n' "$want" | "${as_root[@]}" tee "$sources_file" >/dev/null
        "${as_root[@]}" chmod 0644 "$sources_file"
        "${as_root[@]}" apt-get update
    fi
    # The lists may have been cleaned since the entry was written.
    if ! apt-cache showsrc zlib 2>/dev/null | grep '^Package:' >/dev/null; then
        say "refreshing package lists for source packages"
        "${as_root[@]}" apt-get update
    fi
}

# Sets dsc_name/src_version to the .dsc apt would fetch for source package $1.
declare dsc_name src_version
resolve_source() {
    dsc_name=$(apt-get source --print-uris --only-source "$1" 2>/dev/null | awk '/\.dsc /{print $2; exit}')
    [ -n "$dsc_name" ] || die "apt knows no source package $1 (is $sources_file in place?)"
    src_version=${dsc_name#"$1"_}
    src_version=${src_version%.dsc}
}

# Downloads and unpacks source package $1 (Debian patches applied) once per version.
fetch_source() {
    local lib=$1 dir=$src_dir/$1-$src_version
    if [ -d "$dir" ]; then
        return
    fi
    say "fetching source $lib $src_version"
    mkdir -p "$src_dir"
    rm -rf "$dir.tmp"
    local log=$log_dir/$lib.fetch.log
    if (cd "$src_dir" && apt-get source --download-only --only-source "$lib") >"$log" 2>&1; then
        dpkg-source -x "$src_dir/$dsc_name" "$dir.tmp" >>"$log" 2>&1 ||
            fail_with_log "unpacking $lib" "$log"
    else
        # Some mirrors lack the Debian diff of a few old-format packages; the
        # upstream tarball at the same version (checked by apt) still builds.
        local upstream=${src_version#*:} origs orig
        upstream=${upstream%-*}
        origs=("$src_dir/${lib}_$upstream".orig.tar.*)
        orig=${origs[0]}
        [ -f "$orig" ] || fail_with_log "downloading $lib" "$log"
        say "warning: Debian's changes to $lib could not be fetched; building its upstream tarball"
        mkdir -p "$dir.tmp"
        tar -xf "$orig" -C "$dir.tmp" --strip-components=1 ||
            fail_with_log "unpacking $orig" "$log"
    fi
    mv "$dir.tmp" "$dir"
}

fail_with_log() {
    echo "---- last lines of $2 ----" >&2
    tail -n 40 "$2" >&2
    die "$1 failed (full log: $2)"
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

recipe_zlib() {
    CHOST=$host ./configure --static --prefix="$prefix"
    make -j"$jobs" libz.a
    make install
}

recipe_libpng1.6() {
    ./configure --host=$host --prefix="$prefix" --disable-shared --enable-static
    make -j"$jobs" libpng16.la
    make install-libLTLIBRARIES install-pkgincludeHEADERS install-nodist_pkgincludeHEADERS \
        install-pkgconfigDATA install-binSCRIPTS install-header-links install-library-links \
        install-libpng-pc
    rm -f "$prefix"/lib/libpng*.la
}

recipe_pixman() {
    # Its build marks every symbol dllexport even when static, which would make
    # each DLL linking it export pixman (and stop mingw's automatic exports).
    sed -i "s/\['-DPIXMAN_API=__declspec(dllexport)'\]/[]/" pixman/meson.build
    if grep -q 'PIXMAN_API=__declspec' pixman/meson.build; then
        echo "pixman/meson.build changed: the dllexport flag is still there"
        exit 1
    fi
    meson setup _build --cross-file "$build_dir/meson-cross.ini" --prefix="$prefix" --libdir=lib \
        --buildtype=plain -Ddefault_library=static -Dtests=disabled \
        -Dgtk=disabled -Dlibpng=disabled -Dopenmp=disabled
    ninja -C _build -j"$jobs" install
}

# Static cairo must be compiled with CAIRO_WIN32_STATIC_BUILD, or it carries a
# DllMain of its own that clashes with the DLL it is linked into.
recipe_cairo() {
    # Its warning flags turn on _FORTIFY_SOURCE, which on mingw-w64 would leave
    # every consumer needing libssp for __memcpy_chk.
    sed -i '/_FORTIFY_SOURCE/d' build/configure.ac.warnings
    # Debian's patches touch configure.ac and Makefile.am, so configure is
    # regenerated; build/gtk-doc.m4 stands in for gtkdocize (no docs are built).
    GTKDOCIZE=true autoreconf -fi
    CPPFLAGS="$CPPFLAGS -DCAIRO_WIN32_STATIC_BUILD" ./configure --host=$host --prefix="$prefix" \
        --disable-shared --enable-static --enable-win32 --enable-win32-font --enable-png \
        --disable-xlib --disable-xlib-xrender --disable-xcb --disable-ft --disable-fc --disable-gl \
        --disable-glesv2 --disable-egl --disable-glx --disable-wgl --disable-script \
        --disable-trace --disable-interpreter --disable-ps --disable-pdf --disable-svg \
        --disable-gobject --disable-full-testing --disable-gtk-doc --disable-valgrind \
        --disable-symbol-lookup
    # Debian adds -export-symbols-regex, which libtool refuses beside the win32
    # -export-symbols cairo.def; neither matters to a static library.
    make -C src -j"$jobs" export_symbols=
    make -C src install export_symbols=
    rm -f "$prefix/lib/libcairo.la"
    # Consumers need the define too, and a static link needs the system
    # libraries of the win32 surface and fonts, which configure leaves out.
    local pc
    for pc in "$prefix"/lib/pkgconfig/cairo*.pc; do
        sed -i 's/^Cflags:\(.*\)$/Cflags:\1 -DCAIRO_WIN32_STATIC_BUILD/' "$pc"
    done
    sed -i 's/^Libs.private:.*$/Libs.private: -lgdi32 -lmsimg32 -luser32/' "$prefix/lib/pkgconfig/cairo.pc"
}

# One make run gives both libglew32.a (objects built with GLEW_STATIC) and
# glew32.dll with its import library; glew's install target would put the DLL
# in lib/ and skip the import library, so the files are placed here.
recipe_glew() {
    make -j"$jobs" SYSTEM=linux-mingw64 HOST=$host CC=$host-gcc-posix LD=$host-ld AR=$host-ar \
        RANLIB=$host-ranlib STRIP= POPT=-O2 GLEW_PREFIX="$prefix" GLEW_DEST="$prefix" glew.lib
    make SYSTEM=linux-mingw64 GLEW_DEST="$prefix" install.include
    install -d "$prefix/lib/pkgconfig" "$prefix/bin"
    install -m 0644 lib/libglew32.a lib/libglew32.dll.a "$prefix/lib/"
    install -m 0755 lib/glew32.dll "$prefix/bin/"
    # Built without GLU, so the glu requirement would only make pkg-config fail.
    sed -e '/^Requires:/d' -e 's| -L/usr/[^ ]*||' glew.pc >"$prefix/lib/pkgconfig/glew.pc"
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
    [glew]=lib/libglew32.dll.a [googletest]=lib/libgmock_main.a
)

declare -A stamp_of want_of version_of
# Decides whether $1 must be built, and fetches its source if so; in the
# calling shell, in build order, so the stamps of its dependencies are known.
plan_lib() {
    local lib=$1 dep have
    resolve_source "$lib"
    version_of[$lib]=$src_version
    stamp_of[$lib]="$lib $src_version r${recipe_version[$lib]}"
    # The .pc files hold absolute paths, so a moved prefix is rebuilt too.
    want_of[$lib]="${stamp_of[$lib]} in $prefix"
    for dep in ${deps[$lib]}; do
        want_of[$lib]+=" [${stamp_of[$dep]}]"
    done
    have=$(cat "$stamp_dir/$lib.stamp" 2>/dev/null || true)
    if [ "$have" = "${want_of[$lib]}" ] && [ -e "$prefix/${key_file[$lib]}" ]; then
        say "$lib $src_version is up to date"
        want_of[$lib]=
        return
    fi
    fetch_source "$lib"
}

build_lib() {
    local lib=$1 version=${version_of[$1]} log=$log_dir/$1.log
    [ -n "${want_of[$lib]}" ] || return 0
    say "building $lib $version"
    rm -rf "${build_dir:?}/$lib" "$stamp_dir/$lib.stamp"
    cp -a "$src_dir/$lib-$version" "$build_dir/$lib"
    set +e
    (
        set -euo pipefail
        cd "$build_dir/$lib"
        cross_env
        "recipe_$lib"
    ) >"$log" 2>&1
    local rc=$?
    set -e
    [ $rc -eq 0 ] || fail_with_log "building $lib" "$log"
    [ -e "$prefix/${key_file[$lib]}" ] || fail_with_log "building $lib (no ${key_file[$lib]})" "$log"
    mkdir -p "$stamp_dir"
    printf '%s\n' "${want_of[$lib]}" >"$stamp_dir/$lib.stamp"
    rm -rf "${build_dir:?}/$lib"
    say "built $lib $version"
}

# Runs the chains of one wave at once (chains split by |, each built in
# order) and fails when any chain did.
build_wave() {
    local chain chains pids=() failed=0 pid
    IFS='|' read -ra chains <<<"$1"
    for chain in "${chains[@]}"; do
        (
            for lib in $chain; do
                build_lib "$lib"
            done
        ) &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || failed=1
    done
    # The failed chain has said what failed, with its log.
    [ "$failed" -eq 0 ] || { reported=1; exit 1; }
}

# --check: proves the prefix is usable the way the Windows build uses it, in a
# temporary folder. The wine runs are skipped where wine is not installed.
check_sources() {
    cat >"$1/caption.cpp" <<'EOF'
#include <GL/glew.h>
#include <cairo.h>
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
    std::printf("cairo %s glew %s dark %d\n", cairo_version_string(),
                reinterpret_cast<const char *>(glewGetString(GLEW_VERSION)), dark);
    return status == CAIRO_STATUS_SUCCESS && dark > 50 ? 0 : 1;
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
        "$prefix/lib/libglew32.a" -lopengl32 -lgdi32 -luser32
    dlls=$($host-objdump -p "$t/caption.exe" | awk '/DLL Name/{print toupper($3)}')
    echo "imports:" "$dlls"
    local system='KERNEL32|MSVCRT|USER32|GDI32|MSIMG32|OPENGL32|ADVAPI32'
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
    local passed=0 failed=0 name
    check_dir=$(mktemp -d)
    cross_env
    check_sources "$check_dir"
    local checks=(static_exe_imports_only_system_dlls static_libraries_export_nothing
        shared_glew_exe_imports_glew32_dll
        toolchain_finds_gtest_and_cairo_and_builds_a_test)
    if command -v wine >/dev/null; then
        checks+=(caption_exe_draws_text_and_writes_a_png_under_wine
            shared_glew_exe_runs_with_the_dll_from_prefix_bin_under_wine gtest_probe_passes_under_wine)
    else
        say "check: wine not installed, skipping the runs"
    fi
    for name in "${checks[@]}"; do
        if ("check_$name" "$check_dir") >"$check_dir/$name.log" 2>&1; then
            say "check: ok   ${name//_/ }"
            passed=$((passed + 1))
        else
            say "check: FAIL ${name//_/ }"
            sed 's/^/    /' "$check_dir/$name.log" | tail -n 20
            failed=$((failed + 1))
        fi
    done
    echo "win_deps check: $passed passed, $failed failed"
    reported=1
    [ "$failed" -eq 0 ]
}

main() {
    local start=$SECONDS lib wave
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
    mkdir -p "$cache"
    # Two runs at once would build into the same folders.
    exec 9>"$cache/.lock"
    flock 9
    install_packages
    ensure_source_entry
    mkdir -p "$src_dir" "$build_dir" "$log_dir" "$prefix"
    write_meson_cross_file
    for lib in "${libs[@]}"; do
        plan_lib "$lib"
    done
    for wave in "${waves[@]}"; do
        build_wave "$wave"
    done
    say "done in $((SECONDS - start)) s; prefix $prefix"
    for lib in "${libs[@]}"; do
        say "  ${stamp_of[$lib]}"
    done
    say "check the result with: scripts/win_deps.sh --check"
}

main "$@"
