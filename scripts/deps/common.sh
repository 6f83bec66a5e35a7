# Shared by scripts/win_deps.sh and scripts/lin_deps.sh (sourced, not run):
# fetching Debian's source packages, the recipes of the libraries both shipped
# plugins link statically, and the build of each library once per version and
# recipe, with stamps.
#
# The sourcing script sets, before calling deps_main:
#   tag          prefix of its messages ("win_deps")
#   target       win64 or lin64: the recipes' switch
#   cache        the cache folder; src_dir, build_dir, log_dir, prefix and
#                stamp_dir (as the build machine sees them)
#   jobs         parallel jobs of each library
#   libs, waves, deps, recipe_version, key_file (below)
# and defines run_recipe LIB, which runs recipe_LIB in $build_dir/LIB in the
# target's environment, with $prefix as the recipe sees it.

step="starting"
reported=
cleanup_dirs=()
say() {
    step=$*
    echo "$tag: $*"
}
die() {
    echo "$tag: error: $*" >&2
    reported=1
    exit 1
}
deps_on_exit() {
    local rc=$? dir
    for dir in "${cleanup_dirs[@]}"; do
        rm -rf "$dir"
    done
    if [ "$rc" -ne 0 ] && [ -z "$reported" ]; then
        echo "$tag: error: stopped (exit $rc) at step: $step" >&2
    fi
}
trap deps_on_exit EXIT

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)

# Two runs at once would build into the same folders.
lock_cache() {
    mkdir -p "$cache"
    exec 9>"$cache/.lock"
    flock 9
}

check_jobs() {
    if ! [[ $jobs =~ ^[1-9][0-9]*$ ]]; then
        die "the number of jobs must be a positive number, not '$jobs'"
    fi
}

# The folder of the cache named $2 ("win64"), from the variable named $1
# (KYV_WIN_CACHE), else ~/.cache/kyv_pop/$2, else .cache/$2 in the clone.
cache_folder() {
    local var=$1 name=$2
    if [ -n "${!var:-}" ]; then
        echo "${!var}"
    elif [ -n "${XDG_CACHE_HOME:-}" ] || [ -n "${HOME:-}" ]; then
        echo "${XDG_CACHE_HOME:-$HOME/.cache}/kyv_pop/$name"
    else
        echo "$root/.cache/$name"
    fi
}

sources_file=/etc/apt/sources.list.d/kyv-pop-src.sources

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

# The build machine's main mirror, for the build root (deb.debian.org where
# debian.sources names none).
main_mirror() {
    local main=/etc/apt/sources.list.d/debian.sources uri=
    [ -f "$main" ] && uri=$(src_stanza_from "$main" | sed -n 's/^URIs: *\([^ ]*\).*/\1/p')
    echo "${uri:-http://deb.debian.org/debian}"
}

# Two scripts (the Windows and the Linux libraries) may add it at once.
ensure_source_entry() {
    exec 8>/tmp/kyv-pop-src.lock
    flock 8
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
    flock -u 8
}

# Sets dsc_name/src_version to the .dsc apt would fetch for source package $1.
declare dsc_name src_version
resolve_source() {
    dsc_name=$(apt-get source --print-uris --only-source "$1" 2>/dev/null | awk '/\.dsc /{print $2; exit}')
    [ -n "$dsc_name" ] || die "apt knows no source package $1 (is $sources_file in place?)"
    src_version=${dsc_name#"$1"_}
    src_version=${src_version%.dsc}
}

fail_with_log() {
    echo "---- last lines of $2 ----" >&2
    tail -n 40 "$2" >&2
    die "$1 failed (full log: $2)"
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

# ---- The recipes. Each runs in the library's unpacked source, with the
# target's compilers and flags in the environment (CC, CFLAGS, ...), $prefix
# the install folder and $host the cross target (empty for a native build).

recipe_zlib() {
    if [ -n "$host" ]; then
        CHOST=$host ./configure --static --prefix="$prefix"
    else
        ./configure --static --prefix="$prefix"
    fi
    make -j"$jobs" libz.a
    make install
}

recipe_libpng1.6() {
    ./configure ${host:+--host=$host} --prefix="$prefix" --disable-shared --enable-static
    make -j"$jobs" libpng16.la
    make install-libLTLIBRARIES install-pkgincludeHEADERS install-nodist_pkgincludeHEADERS \
        install-pkgconfigDATA install-binSCRIPTS install-header-links install-library-links \
        install-libpng-pc
    rm -f "$prefix"/lib/libpng*.la
}

recipe_pixman() {
    local cross=()
    if [ "$target" = win64 ]; then
        # Its build marks every symbol dllexport even when static, which would make
        # each DLL linking it export pixman (and stop mingw's automatic exports).
        sed -i "s/\['-DPIXMAN_API=__declspec(dllexport)'\]/[]/" pixman/meson.build
        if grep -q 'PIXMAN_API=__declspec' pixman/meson.build; then
            echo "pixman/meson.build changed: the dllexport flag is still there"
            exit 1
        fi
        cross=(--cross-file "$build_dir/meson-cross.ini")
    fi
    meson setup _build "${cross[@]}" --prefix="$prefix" --libdir=lib \
        --buildtype=plain -Ddefault_library=static -Dtests=disabled \
        -Dgtk=disabled -Dlibpng=disabled -Dopenmp=disabled
    ninja -C _build -j"$jobs" install
}

# Image surfaces and PNG, nothing that would need a library of the system:
# no X11, fontconfig or GL. Windows keeps its own surface and fonts. Static
# cairo on Windows must be compiled with CAIRO_WIN32_STATIC_BUILD, or it
# carries a DllMain of its own that clashes with the DLL it is linked into.
recipe_cairo() {
    # Its warning flags turn on _FORTIFY_SOURCE, which on mingw-w64 would leave
    # every consumer needing libssp for __memcpy_chk.
    sed -i '/_FORTIFY_SOURCE/d' build/configure.ac.warnings
    # Debian's patches touch configure.ac and Makefile.am, so configure is
    # regenerated; build/gtk-doc.m4 stands in for gtkdocize (no docs are built).
    GTKDOCIZE=true autoreconf -fi
    local platform=(--disable-win32 --disable-win32-font)
    [ "$target" != win64 ] || platform=(--enable-win32 --enable-win32-font)
    ./configure ${host:+--host=$host} --prefix="$prefix" \
        --disable-shared --enable-static "${platform[@]}" --enable-png \
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
    [ "$target" = win64 ] || return 0
    # Consumers need the define too, and a static link needs the system
    # libraries of the win32 surface and fonts, which configure leaves out.
    local pc
    for pc in "$prefix"/lib/pkgconfig/cairo*.pc; do
        sed -i 's/^Cflags:\(.*\)$/Cflags:\1 -DCAIRO_WIN32_STATIC_BUILD/' "$pc"
    done
    sed -i 's/^Libs.private:.*$/Libs.private: -lgdi32 -lmsimg32 -luser32/' "$prefix/lib/pkgconfig/cairo.pc"
}

# On Windows one make run gives both libglew32.a (objects built with
# GLEW_STATIC) and glew32.dll with its import library; glew's install target
# would put the DLL in lib/ and skip the import library, so the files are
# placed here. On Linux only the static library is made: libGLEW.a.
recipe_glew() {
    if [ "$target" = win64 ]; then
        make -j"$jobs" SYSTEM=linux-mingw64 HOST=$host CC=$host-gcc-posix LD=$host-ld AR=$host-ar \
            RANLIB=$host-ranlib STRIP= POPT=-O2 GLEW_PREFIX="$prefix" GLEW_DEST="$prefix" glew.lib
        make SYSTEM=linux-mingw64 GLEW_DEST="$prefix" install.include
        install -d "$prefix/lib/pkgconfig" "$prefix/bin"
        install -m 0644 lib/libglew32.a lib/libglew32.dll.a "$prefix/lib/"
        install -m 0755 lib/glew32.dll "$prefix/bin/"
    else
        make -j"$jobs" SYSTEM=linux CC="$CC" POPT="$CFLAGS" GLEW_PREFIX="$prefix" GLEW_DEST="$prefix" \
            glew.lib.static
        make SYSTEM=linux GLEW_DEST="$prefix" install.include
        install -d "$prefix/lib/pkgconfig"
        install -m 0644 lib/libGLEW.a "$prefix/lib/"
    fi
    # Built without GLU, so the glu requirement would only make pkg-config fail.
    sed -e '/^Requires:/d' -e 's| -L/usr/[^ ]*||' glew.pc >"$prefix/lib/pkgconfig/glew.pc"
}

# The server's one source file, as a static library: HTTP and WebSocket, no
# TLS, CGI, Lua or server program. Its includes say what a consumer links:
# -lws2_32 on Windows, -lpthread elsewhere.
recipe_civetweb() {
    local defines=(-DNO_SSL -DNO_CGI -DUSE_WEBSOCKET -DUSE_IPV6 -DNDEBUG)
    "$CC" $CFLAGS $CPPFLAGS "${defines[@]}" -Iinclude -c src/civetweb.c -o civetweb.o
    "$AR" rcs libcivetweb.a civetweb.o
    install -d "$prefix/include" "$prefix/lib"
    install -m 0644 include/civetweb.h "$prefix/include/"
    install -m 0644 libcivetweb.a "$prefix/lib/"
}

# TurboJPEG alone, static, with its SIMD code (nasm).
recipe_libjpeg-turbo() {
    local toolchain=()
    [ "$target" != win64 ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
        -DKYV_WIN_DEPS="$prefix")
    cmake -S . -B _build -G Ninja "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
        -DCMAKE_POSITION_INDEPENDENT_CODE=ON -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=ON -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DWITH_JAVA=OFF
    ninja -C _build -j"$jobs" turbojpeg-static
    install -d "$prefix/include" "$prefix/lib"
    install -m 0644 turbojpeg.h "$prefix/include/"
    install -m 0644 _build/libturbojpeg.a "$prefix/lib/"
}

# ---- Planning and building.

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
    run_recipe "$lib" >"$log" 2>&1
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

# Fetches what is missing and builds every library that is not up to date.
build_all() {
    local lib wave start=$SECONDS
    ensure_source_entry
    mkdir -p "$src_dir" "$build_dir" "$log_dir" "$prefix"
    for lib in "${libs[@]}"; do
        plan_lib "$lib"
    done
    for wave in "${waves[@]}"; do
        build_wave "$wave"
    done
    say "libraries done in $((SECONDS - start)) s; prefix $prefix"
    for lib in "${libs[@]}"; do
        say "  ${stamp_of[$lib]}"
    done
}

# Runs the checks named (check_NAME functions of the sourcing script) with
# the folder $1, each logged apart; fails when one did.
run_check_list() {
    local dir=$1 passed=0 failed=0 name
    shift
    for name in "$@"; do
        if ("check_$name" "$dir") >"$dir/$name.log" 2>&1; then
            say "check: ok   ${name//_/ }"
            passed=$((passed + 1))
        else
            say "check: FAIL ${name//_/ }"
            sed 's/^/    /' "$dir/$name.log" | tail -n 20
            failed=$((failed + 1))
        fi
    done
    echo "$tag check: $passed passed, $failed failed"
    reported=1
    [ "$failed" -eq 0 ]
}
