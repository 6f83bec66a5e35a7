#!/usr/bin/env bash
# Builds the plugins that ship and zips the kyv_pop folder, with lin_x64 and
# win_x64 in it, ready to unpack into the simulator's plugins folder:
# out/kyv_pop-<version>.zip. The Linux plugin is the one built in the Debian 11
# root against static libraries (scripts/lin_deps.sh, into build-shipped/),
# not the development build; the Windows one is the cross-build (build-win/).
set -euo pipefail
cd "$(dirname "$0")/.."
shipped_dir="${KYV_SHIPPED_BUILD_DIR:-build-shipped}"
win_dir="${KYV_WIN_BUILD_DIR:-build-win}"
scripts/build-windows.sh --plugin
scripts/lin_deps.sh --plugin "$shipped_dir"
version=$(sed -n 's/^project(kyv_pop VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

stage=out/package
rm -rf "$stage"
mkdir -p "$stage/kyv_pop/lin_x64" "$stage/kyv_pop/win_x64" "$stage/kyv_pop/settings"
# Debug information and symbol tables stay in the build folders; the package
# carries the code and the five exported entry points.
strip --strip-unneeded -o "$stage/kyv_pop/lin_x64/kyv_pop.xpl" "$shipped_dir/kyv_pop/lin_x64/kyv_pop.xpl"
x86_64-w64-mingw32-strip --strip-unneeded -o "$stage/kyv_pop/win_x64/kyv_pop.xpl" \
  "$win_dir/kyv_pop/win_x64/kyv_pop.xpl"
# The files that go into the zip are checked, not only the ones ctest saw:
# each with the compiler and version macros of the build that made it.
check_args() { # build folder -> sets cc and defines
    # shellcheck disable=SC1091
    . "$1/xplm_check_args.sh"
}
check_args "$shipped_dir"
tests/plugin/check_exports.sh "$stage/kyv_pop/lin_x64/kyv_pop.xpl" xplm cmake/XPLM_64.def "$cc" "$defines"
tests/plugin/check_elf_deps.sh "$stage/kyv_pop/lin_x64/kyv_pop.xpl"
check_args "$win_dir"
tests/plugin/check_pe.sh "$stage/kyv_pop/win_x64/kyv_pop.xpl" xplm cmake/XPLM_64.def "$cc" "$defines"
cp -r resources "$stage/kyv_pop/resources"
# The pilot's README travels with the plugin.
cp README.md "$stage/kyv_pop/README.md"

zip="out/kyv_pop-$version.zip"
rm -f "$zip"
(cd "$stage" && cmake -E tar cf "../../$zip" --format=zip kyv_pop)
echo "package: $zip"
(cd "$stage" && find kyv_pop -type f -o -type d -empty | sort | sed 's/^/  /')
