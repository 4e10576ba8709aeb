#!/usr/bin/env bash
# Installs what the build and the tests need on Debian: every package listed in
# scripts/packages/*.txt. Files scripts/packages/*.pre.sh run first (e.g. to add an architecture).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

for pre in "$here"/packages/*.pre.sh; do
  [ -e "$pre" ] || continue
  $SUDO bash "$pre"
done

mapfile -t wanted < <(cat "$here"/packages/*.txt | sed -e 's/#.*//' -e 's/[[:space:]]//g' | grep -v '^$' | sort -u)
missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
