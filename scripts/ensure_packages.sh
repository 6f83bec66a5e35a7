#!/usr/bin/env bash
# Installs the Debian packages named that are not installed yet, as root or
# through sudo: ensure_packages.sh WHO PACKAGE... (WHO starts its log line).
set -euo pipefail
who="$1"
shift
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "$who: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
