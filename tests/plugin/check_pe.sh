#!/usr/bin/env bash
# The Windows plugin (a PE file) exports exactly the five entry points and
# imports only from Windows' own DLLs, opengl32.dll and XPLM_64.dll; what it
# imports from XPLM_64.dll is what cmake/XPLM_64.def lists, every one declared
# by the interface headers under the version macros the plugin is built with
# (none of a later version, which would keep it from loading on an older
# simulator). Given an official SDK's XPLM_64.lib, every imported function
# must be in it too.
#   check_pe.sh kyv_pop.xpl XPLM_HEADER_DIR XPLM_64.def CC "XPLM200=1 ... IBM=1" [XPLM_64.lib]
set -euo pipefail
xpl="$1"
headers="$2"
def_file="$3"
cc="$4"
defines="$5"
sdk_lib="${6:-}"
. "$(dirname "$0")/declared_functions.sh"
declared=$(declared_functions "$cc" "$headers" "$defines")
objdump="${OBJDUMP:-x86_64-w64-mingw32-objdump}"

dump=$("$objdump" -p "$xpl")
status=0

# Export names follow the "[Ordinal/Name Pointer] Table" heading as "[   n] Name".
exported=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^\t\[/ {print $NF; next} on {on=0}' \
  <<<"$dump" | sort)
want=$(printf '%s\n' XPluginDisable XPluginEnable XPluginReceiveMessage XPluginStart XPluginStop)
if [ "$exported" != "$want" ]; then
  echo "exports differ from the five entry points (< wanted, > exported):"
  diff <(echo "$want") <(echo "$exported") || true
  status=1
fi

# Windows' own DLLs (the C runtime mingw links is msvcrt.dll), the GL driver's
# front and the simulator's interface library.
allowed='^(kernel32|user32|gdi32|msimg32|advapi32|shell32|ole32|oleaut32|ws2_32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+|opengl32|xplm_64)\.dll$'
dlls=$(awk '/^\tDLL Name: /{print $3}' <<<"$dump")
for dll in $dlls; do
  if ! grep -qiE "$allowed" <<<"$dll"; then
    echo "imports from $dll, which is neither Windows' own, opengl32.dll nor XPLM_64.dll"
    status=1
  fi
done
grep -qi '^XPLM_64.dll$' <<<"$dlls" || { echo "imports nothing from XPLM_64.dll"; status=1; }

# The names imported from XPLM_64.dll: the lines after its "DLL Name" up to
# the next blank line, "<address> <hint> <name>" each.
xplm=$(awk 'tolower($0) ~ /^\tdll name: xplm_64\.dll$/ {on=1; next}
            on && /^$/ {on=0}
            on && $NF ~ /^XPLM/ {print $NF}' <<<"$dump" | sort)
listed=$(awk '/^EXPORTS/{on=1; next} on && $1 ~ /^XPLM/ {print $1}' "$def_file" | sort)
if [ "$xplm" != "$listed" ]; then
  echo "the XPLM_64.dll imports differ from $def_file (< imported, > listed):"
  diff <(echo "$xplm") <(echo "$listed") || true
  status=1
fi
for sym in $xplm; do
  if ! grep -qx "$sym" <<<"$declared"; then
    echo "imports $sym, which the interface headers do not declare under $defines"
    status=1
  fi
done
if [ -n "$sdk_lib" ]; then
  sdk_syms=$(x86_64-w64-mingw32-nm "$sdk_lib" 2>/dev/null | awk '{print $NF}' | sed 's/^__imp_//' | sort -u)
  for sym in $xplm; do
    grep -qx "$sym" <<<"$sdk_syms" || { echo "imports $sym, which $sdk_lib does not export"; status=1; }
  done
fi

if [ $status -eq 0 ]; then
  echo "5 entry points exported; DLLs: $(paste -sd, <<<"$dlls"); $(echo "$xplm" | wc -l) XPLM imports," \
    "each declared and listed${sdk_lib:+ and in $sdk_lib}"
fi
exit $status
