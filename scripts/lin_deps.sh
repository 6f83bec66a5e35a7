#!/usr/bin/env bash
# Builds the Linux plugin that ships: in a Debian 11 (bullseye: glibc 2.31,
# GCC 10) root made with mmdebstrap, against static, position-independent
# builds of zlib, libpng, pixman, cairo (image surfaces and PNG only), GLEW,
# civetweb and TurboJPEG from Debian's source packages, with the recipes the
# Windows libraries use (scripts/deps/common.sh). The plugin links the C++
# runtime statically and needs only glibc 2.31 and the GPU's libGL at run time.
# The development build (scripts/setup.sh) is not this one: it uses the build
# machine's own libraries.
#
# The root and the libraries in it are kept outside the clone, in
# $KYV_LIN_CACHE, by default ~/.cache/kyv_pop/lin64: the root is made again
# only when its recipe (suite, packages, mirror) changes, a library only when
# its stamp does. KYV_LIN_JOBS sets each library's parallel jobs (default 2).
#   scripts/lin_deps.sh                    make the root and the libraries
#   scripts/lin_deps.sh --plugin OUT_DIR   and build the plugin in the root:
#                                          OUT_DIR/kyv_pop/lin_x64/kyv_pop.xpl
#   scripts/lin_deps.sh --check            check the libraries in the root
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tag=lin_deps
target=lin64
host=
# shellcheck source=deps/common.sh
. scripts/deps/common.sh
cache=$(cache_folder KYV_LIN_CACHE lin64)
rootfs=$cache/root
# The root sees its own files at /deps; the recipes run there.
inner=/deps
src_dir=$rootfs$inner/src
build_dir=$rootfs$inner/build
log_dir=$cache/logs
prefix=$rootfs$inner/prefix
stamp_dir=$prefix/share/kyv-deps
jobs=${KYV_LIN_JOBS:-2}
check_jobs

suite=bullseye
root_packages=(g++ make cmake pkg-config autoconf automake libtool meson ninja-build python3 nasm
    libgl-dev libx11-dev file)
# Bump when the way the root is made changes.
root_recipe_version=1

declare -A recipe_version=([zlib]=1 [libpng1.6]=1 [pixman]=1 [cairo]=1 [glew]=1 [civetweb]=1
    [libjpeg-turbo]=1)
libs=(zlib libpng1.6 pixman cairo glew civetweb libjpeg-turbo)
waves=("zlib libpng1.6|pixman civetweb" "cairo|glew libjpeg-turbo")
declare -A deps=([zlib]="" [libpng1.6]="zlib" [pixman]="" [cairo]="zlib libpng1.6 pixman" [glew]=""
    [civetweb]="" [libjpeg-turbo]="")
declare -A key_file=(
    [zlib]=lib/libz.a [libpng1.6]=lib/libpng16.a [pixman]=lib/libpixman-1.a [cairo]=lib/libcairo.a
    [glew]=lib/libGLEW.a [civetweb]=lib/libcivetweb.a [libjpeg-turbo]=lib/libturbojpeg.a
)

install_packages() {
    "$root/scripts/ensure_packages.sh" lin_deps mmdebstrap dpkg-dev binutils util-linux
}

# Runs a command in the root, with a clean environment and its own /proc,
# which goes away with the command.
in_root() {
    "${as_root[@]}" unshare --mount --pid --fork --mount-proc="$rootfs/proc" \
        chroot "$rootfs" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/root LANG=C.UTF-8 \
        "$@"
}

ensure_root() {
    local want have
    want="$suite $(main_mirror) r$root_recipe_version: ${root_packages[*]}"
    have=$(cat "$cache/root.stamp" 2>/dev/null || true)
    if [ "$have" = "$want" ] && [ -x "$rootfs/usr/bin/g++" ]; then
        say "build root ($suite) is up to date"
        return
    fi
    say "making the build root: $suite from $(main_mirror)"
    local start=$SECONDS
    rm -f "$cache/root.stamp"
    "${as_root[@]}" rm -rf "$rootfs" "$rootfs.tmp"
    mkdir -p "$log_dir"
    local include
    include=$(
        IFS=,
        echo "${root_packages[*]}"
    )
    "${as_root[@]}" mmdebstrap --variant=minbase --include="$include" "$suite" "$rootfs.tmp" \
        "$(main_mirror)" >"$log_dir/root.log" 2>&1 || fail_with_log "making the build root" "$log_dir/root.log"
    "${as_root[@]}" mv "$rootfs.tmp" "$rootfs"
    printf '%s\n' "$want" >"$cache/root.stamp"
    say "made the build root in $((SECONDS - start)) s"
}

# The recipe runs in the root, as a script made of the recipe's function, in
# the root's paths.
run_recipe() {
    local lib=$1 script
    script="$(declare -f "recipe_$lib")
set -euo pipefail
export CC=gcc CXX=g++ AR=ar RANLIB=ranlib
export CFLAGS='-O2 -fPIC -fvisibility=hidden' CXXFLAGS='-O2 -fPIC -fvisibility=hidden'
export CPPFLAGS='-I$inner/prefix/include' LDFLAGS='-L$inner/prefix/lib'
export PKG_CONFIG_LIBDIR='$inner/prefix/lib/pkgconfig' PKG_CONFIG_PATH=''
target=$target host= prefix='$inner/prefix' jobs=$jobs root=/nonexistent
cd '$inner/build/$lib'
recipe_$lib"
    in_root /bin/bash -c "$script"
}

# Builds the plugin in the root from this clone's sources and copies it to
# $1/kyv_pop/lin_x64/kyv_pop.xpl.
build_plugin() {
    local out=$1 src=$rootfs$inner/kyv_src log=$log_dir/plugin.log
    say "building the plugin in the root"
    # The build folder is kept for the next build from this clone; sources
    # copied from another clone may be older than its objects, so it starts
    # afresh for them.
    local kept=$rootfs$inner/kyv_build
    if [ "$(cat "$kept/.source" 2>/dev/null || true)" != "$root" ]; then
        "${as_root[@]}" rm -rf "$kept"
        mkdir -p "$kept"
        echo "$root" >"$kept/.source"
    fi
    "${as_root[@]}" rm -rf "$src"
    mkdir -p "$src"
    tar -C "$root" -cf - CMakeLists.txt cmake acfutils plugin xplm resources | tar -C "$src" -xf -
    if ! in_root /bin/bash -c "set -e
        export PKG_CONFIG_LIBDIR=$inner/prefix/lib/pkgconfig PKG_CONFIG_PATH=
        cmake -S $inner/kyv_src -B $inner/kyv_build -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DKYV_BUILD_TESTS=OFF -DKYV_BUILD_SIMHOST=OFF -DKYV_BUILD_TOOLS=OFF \
            -DKYV_STATIC_DEPS=$inner/prefix
        cmake --build $inner/kyv_build -j$(nproc)" >"$log" 2>&1; then
        fail_with_log "building the plugin in the root" "$log"
    fi
    mkdir -p "$out/kyv_pop/lin_x64"
    cp "$rootfs$inner/kyv_build/kyv_pop/lin_x64/kyv_pop.xpl" "$out/kyv_pop/lin_x64/kyv_pop.xpl"
    # The import checks of the package read the build's compiler and macros.
    sed "s|^cc=.*|cc='c++'|" "$rootfs$inner/kyv_build/xplm_check_args.sh" >"$out/xplm_check_args.sh"
    say "built $out/kyv_pop/lin_x64/kyv_pop.xpl ($(in_root g++ --version | head -n 1))"
}

# --check: the libraries are static, position-independent and link into a
# shared object that needs nothing but libc, libm, libpthread and libGL.
run_checks() {
    local dir
    dir=$(mktemp -d "$rootfs$inner/check.XXXXXX")
    cleanup_dirs+=("$dir")
    cat >"$dir/probe.c" <<'PROBE'
#include <GL/glew.h>
#include <cairo.h>
#include <civetweb.h>
#include <turbojpeg.h>

__attribute__((visibility("default"))) int probe(void)
{
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    int ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS;
    tjhandle j = tjInitCompress();
    ok = ok && j != NULL && mg_version() != NULL && glewGetString(GLEW_VERSION) != NULL;
    tjDestroy(j);
    cairo_surface_destroy(s);
    return ok;
}
PROBE
    run_check_list "$dir" probe_links_as_a_shared_object_needing_only_glibc_and_libgl
}

# (A check runs as an if's condition, where set -e does not act: its steps are chained.)
check_probe_links_as_a_shared_object_needing_only_glibc_and_libgl() {
    local t=${1#"$rootfs"} needed
    in_root /bin/bash -c "set -e
        export PKG_CONFIG_LIBDIR=$inner/prefix/lib/pkgconfig
        gcc -shared -fPIC -O2 -DGLEW_STATIC -DGLEW_NO_GLU \$(pkg-config --cflags cairo glew) -I$inner/prefix/include \
            $t/probe.c -o $t/probe.so -Wl,--no-undefined \
            \$(pkg-config --static --libs cairo) -L$inner/prefix/lib -lGLEW -lcivetweb -lturbojpeg \
            -lGL -lpthread -lm -ldl" &&
        needed=$(readelf -d "$1/probe.so" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p') &&
        echo "needs:" $needed &&
        ! grep -v -E '^(libc|libm|libdl|libpthread|libGL|ld-linux-x86-64)\.so' <<<"$needed"
}

main() {
    local start=$SECONDS out=
    case "${1:-}" in
    "") ;;
    --plugin)
        [ -n "${2:-}" ] || die "usage: scripts/lin_deps.sh --plugin OUT_DIR"
        out=$(mkdir -p "$2" && cd "$2" && pwd)
        ;;
    --check)
        run_checks
        return
        ;;
    *) die "usage: scripts/lin_deps.sh [--plugin OUT_DIR | --check]" ;;
    esac
    lock_cache
    install_packages
    ensure_root
    build_all
    [ -z "$out" ] || build_plugin "$out"
    say "done in $((SECONDS - start)) s"
}

main "$@"
