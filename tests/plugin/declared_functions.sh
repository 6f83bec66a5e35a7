# declared_functions CC HEADER_DIR "MACRO=1 ...": the interface functions the
# headers declare with exactly those macros defined, one per line: each name
# followed by its parameter list, which a function-pointer type's is not.
# Sourced by the export checks.
declared_functions() {
  local cc="$1" headers="$2" defines="$3" tu="" h d flags=()
  for h in "$headers"/XPLM*.h; do tu+="#include \"$(basename "$h")\""$'\n'; done
  for d in $defines; do flags+=("-D$d"); done
  printf '%s' "$tu" | "$cc" -E -P -x c "${flags[@]}" -I"$headers" - | tr '\n' ' ' |
    grep -oE 'XPLM[A-Za-z0-9_]*[[:space:]]*\([^*]' | grep -oE '^XPLM[A-Za-z0-9_]*' | sort -u
}
