#!/usr/bin/env bash
# The 32-bit Wine needs Debian's i386 architecture beside the native one.
# Prints "added" when it changed the apt configuration, so the caller refreshes the package lists.
set -euo pipefail
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  echo added
fi
