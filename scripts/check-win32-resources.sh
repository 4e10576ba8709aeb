#!/usr/bin/env bash
# Checks the resources built into lentaro.exe: the icon group (16, 32, 48 and 256 pixels), the
# version information (product "Lentaro", the project version from CMakeLists.txt, a file
# description) and the application manifest (well-formed, the processor, Windows 7 to 11 supported,
# per-monitor DPI aware, the project version). Reads the executable with wrestool, icotool and windres.
# Usage: check-win32-resources.sh LENTARO_EXE
set -euo pipefail
if [ "$#" -ne 1 ] || [ ! -f "$1" ]; then echo "usage: $0 LENTARO_EXE" >&2; exit 2; fi
exe="$1"
root="$(cd "$(dirname "$0")/.." && pwd)"
version="$(sed -n 's/^project(Lentaro VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[ -n "$version" ] || { echo "no project version in CMakeLists.txt" >&2; exit 2; }
case "$(file -b "$exe")" in
  PE32\ executable*) architecture=x86 windres=i686-w64-mingw32-windres ;;
  PE32+\ executable*x86-64*) architecture=amd64 windres=x86_64-w64-mingw32-windres ;;
  *) echo "$exe is not a Windows executable for x86 or x86-64" >&2; exit 2 ;;
esac
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# Icon group 1, rebuilt as an .ico, holds exactly the four sizes.
if wrestool --extract --type=14 --name=1 --output="$work/group.ico" "$exe" 2>/dev/null && [ -s "$work/group.ico" ]; then
  sizes="$(icotool --list "$work/group.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\1 .*/\1/p' | sort -n | tr '\n' ' ')"
  [ "$sizes" = "16 32 48 256 " ] || fail "icon group sizes are '$sizes', expected '16 32 48 256'"
else
  fail "no icon group 1"
fi

# Version information, decompiled to resource script text.
rc="$($windres --input="$exe" --output-format=rc 2>/dev/null || true)"
expect_value() { # name, value
  grep -qxF "      VALUE \"$1\", \"$2\"" <<<"$rc" || fail "version string $1 is not \"$2\""
}
expect_value ProductName Lentaro
expect_value ProductVersion "$version"
expect_value FileVersion "$version"
expect_value OriginalFilename lentaro.exe
grep -qE '^ *VALUE "FileDescription", "[^"]+"$' <<<"$rc" || fail "no file description"
grep -qxF " FILEVERSION ${version//./, }, 0" <<<"$rc" || fail "numeric file version is not $version.0"

# The application manifest (resource 1 of type 24, which Windows reads at process start).
manifest="$work/manifest.xml"
wrestool --extract --raw --type=24 --name=1 "$exe" >"$manifest" 2>/dev/null || true
if [ ! -s "$manifest" ]; then
  fail "no application manifest"
elif ! xmllint --noout "$manifest" 2>"$work/xmllint.log"; then
  fail "the manifest is not well-formed XML: $(head -n1 "$work/xmllint.log")"
else
  expect_xml() { # description, XPath expression that must be true
    [ "$(xmllint --xpath "$2" "$manifest" 2>/dev/null)" = true ] || fail "manifest: $1"
  }
  # Per-monitor aware (version 2 where Windows 10 has it), and per monitor on Windows 8.1 and 7.
  expect_xml "dpiAware is not true/pm" "normalize-space(//*[local-name()='dpiAware'])='true/pm'"
  expect_xml "dpiAwareness is not PerMonitorV2, PerMonitor" \
    "normalize-space(//*[local-name()='dpiAwareness'])='PerMonitorV2, PerMonitor'"
  expect_xml "assembly version is not $version.0" "//*[local-name()='assemblyIdentity']/@version='$version.0'"
  expect_xml "processor is not $architecture" "//*[local-name()='assemblyIdentity']/@processorArchitecture='$architecture'"
  expect_xml "runs elevated" "//*[local-name()='requestedExecutionLevel']/@level='asInvoker'"
  declare -A systems=(
    ["Windows 7"]=35138b9a-5d96-4fbd-8e2d-a2440225f93a
    ["Windows 8"]=4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38
    ["Windows 8.1"]=1f676c76-80e1-4239-95bb-83d0f6d0da78
    ["Windows 10 and 11"]=8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a
  )
  for name in "${!systems[@]}"; do
    expect_xml "$name is not a supported system" "//*[local-name()='supportedOS']/@Id='{${systems[$name]}}'"
  done
fi

if [ "$failures" -gt 0 ]; then echo "lentaro.exe resources: $failures check(s) failed"; exit 1; fi
echo "lentaro.exe resources: icon 16/32/48/256, version $version, manifest (Windows 7-11, per-monitor DPI aware)"
