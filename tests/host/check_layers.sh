#!/usr/bin/env bash
# The sim host's layers include one way only: api/ may reach core/, core/
# the world, GL and the renderer, and nothing below reaches back up. The
# world is plain C++ over the simulator's interface, with no GL and no cairo,
# and so is the API, whose GL goes through the gl/ layer's own headers.
# Prints each include that breaks a rule and fails if there is one.
set -euo pipefail
root="$1"
cd "$root"

broken=0
# rule FOLDER PATTERN WHY: no file of FOLDER may include a line matching PATTERN.
rule() {
  local folder="$1" pattern="$2" why="$3" hits
  hits=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)" "$folder" || true)
  if [ -n "$hits" ]; then
    echo "check_layers: $folder/ $why:"
    echo "$hits" | sed 's/^/  /'
    broken=1
  fi
}

for folder in world gl render platform; do
  rule "$folder" 'api/|core/' "includes a layer above it"
done
rule platform 'world/|gl/|render/' "includes a layer beside it"
rule gl 'world/|render/' "includes a layer above it"
rule world 'gl/|render/|GL/|cairo|epoxy/|EGL/' "includes GL or cairo"
rule api 'GL/|cairo|gl/gl_api\.h|gl/gl_state\.h|render/' "compiles against GL or cairo"

for f in $(find . -mindepth 1 -maxdepth 1 -type f -name '*.[ch]*' | sort); do
  case "$f" in
    ./host.h|./geometry.h|./main.cpp) ;;
    *) echo "check_layers: $f lies at the root, outside every layer"; broken=1 ;;
  esac
done

[ "$broken" = 0 ] && echo "check_layers: every include runs downwards"
exit "$broken"
