#!/usr/bin/env bash
# Tests what Linux users install: `cmake --install` into a fresh prefix (the expected files, the
# desktop entry and AppStream file valid for desktop-file-validate and appstreamcli, the manual page
# and the copyright file), then the .deb made by `cpack -G DEB`: its name, version and library
# dependencies, lintian with no error or warning, installed with dpkg -i,
# /usr/bin/lentaro started on a private Xvfb (the demo program waits for the window, takes
# screenshots, closes it and expects exit code 0), and the package removed again.
# Needs root (or sudo) for dpkg. Usage: test-package.sh [BUILD_DIR], a configured X11 build
# (default: build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${1:-build}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
version="$(sed -n 's/^project(Lentaro VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
# The package is installed system-wide: one run at a time on this machine.
exec 8>/tmp/lentaro-package-test.lock
flock 8

work="$(mktemp -d)"
installed=""
cleanup() {
  if [ -n "$installed" ]; then $SUDO dpkg -r lentaro >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
passed=0
pass() { echo "PASS $*"; passed=$((passed + 1)); }
fail() { echo "FAIL $*"; echo "package: $passed passed, 1 failed"; exit 1; }

# Everything: the install takes the artwork and the screen-reader modules as well as the program.
ninja -C "$build" >/dev/null

echo "-- cmake --install into a fresh prefix"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
# The screen-reader modules go to a private folder of the multiarch library directory.
multiarch="$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)"
expected="bin/lentaro
lib/$multiarch/lentaro/lentaro-atspi-status.so
lib/$multiarch/lentaro/lentaro-atspi.so
share/applications/lentaro.desktop
share/doc/lentaro/changelog.gz
share/doc/lentaro/copyright
share/icons/hicolor/128x128/apps/lentaro.png
share/icons/hicolor/16x16/apps/lentaro.png
share/icons/hicolor/256x256/apps/lentaro.png
share/icons/hicolor/32x32/apps/lentaro.png
share/icons/hicolor/48x48/apps/lentaro.png
share/icons/hicolor/64x64/apps/lentaro.png
share/icons/hicolor/scalable/apps/lentaro.svg
share/man/man1/lentaro.1.gz
share/metainfo/org.lentaro.lentaro.metainfo.xml"
actual="$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)"
[ "$actual" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$actual") || true)"
pass "cmake --install puts the program, its screen-reader modules, desktop entry, icons and AppStream file in place"
for size in 16 32 48 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/lentaro.png" | grep -q "PNG image data, $size x $size," ||
    fail "the ${size}x${size} icon is not a $size-pixel PNG"
done
pass "the icon renderings have their sizes"
desktop-file-validate "$prefix/share/applications/lentaro.desktop" || fail "desktop-file-validate"
pass "desktop-file-validate"
metainfo="$prefix/share/metainfo/org.lentaro.lentaro.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream release is not $version"
pass "appstreamcli validate (release $version)"
# The tree as a whole: the AppStream file's launchable finds its desktop entry.
appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree"
pass "appstreamcli validate-tree"
grep -q "<project_license>MIT</project_license>" "$metainfo" || fail "the AppStream file does not name the MIT licence"
pass "the AppStream file names the licence"

# The manual page: groff reads it without a warning, and it names the program, its options and version.
manual="$prefix/share/man/man1/lentaro.1.gz"
zcat "$manual" | groff -man -Tutf8 -ww -z 2>"$work/groff.log" || fail "groff cannot read the manual page"
[ ! -s "$work/groff.log" ] || fail "groff warns about the manual page: $(cat "$work/groff.log")"
page="$(zcat "$manual" | groff -man -Tutf8 -P-c 2>/dev/null | col -b)"
for text in "lentaro - " "--help" "--version" "WAYLAND_DISPLAY" "Lentaro $version" "EXIT STATUS"; do
  grep -qF -- "$text" <<<"$page" || fail "the manual page does not say '$text'"
done
pass "the manual page reads cleanly and documents the options ($version)"
# The copyright file is machine-readable and carries the licence of LICENSE.
copyright="$prefix/share/doc/lentaro/copyright"
head -n1 "$copyright" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
  fail "the copyright file does not start with the machine-readable format line"
grep -qx "License: Expat" "$copyright" || fail "the copyright file names no Expat (MIT) licence"
# Its licence paragraph is LICENSE's text, indented, with "." for empty lines.
sed -n '/^Permission is hereby granted/,$p' LICENSE | sed 's/^$/./; s/^/ /' >"$work/licence-expected"
sed -n '/^ Permission is hereby granted/,$p' "$copyright" >"$work/licence-copyright"
diff -u "$work/licence-expected" "$work/licence-copyright" >/dev/null ||
  fail "the copyright file's licence text differs from LICENSE"
pass "the copyright file is machine-readable and carries LICENSE's text"
zcat "$prefix/share/doc/lentaro/changelog.gz" | head -n1 | grep -q "^lentaro ($version) " ||
  fail "the changelog's latest entry is not for version $version"
pass "the changelog's latest entry is $version"

echo "-- cpack -G DEB"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb="$work/package/lentaro_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$work/package")"
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
pass "cpack made $(basename "$deb")"
depends="$(dpkg-deb --field "$deb" Depends)"
echo "Depends: $depends"
# Worked out by dpkg-shlibdeps from the executable's own links.
for library in libc6 libx11-6 libxext6 libxrandr2 libfreetype6 libfontconfig1; do
  grep -qE "(^|, )$library( |,|$)" <<<"$depends" || fail "the package does not depend on $library"
done
pass "library dependencies from dpkg-shlibdeps"
# Debian's package checker: no error and no warning (information and pedantic notes are allowed).
lintian_status=0
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
cat "$work/lintian.log"
if grep -qE "^[EW]: " "$work/lintian.log"; then fail "lintian reports errors or warnings"; fi
[ "$lintian_status" -eq 0 ] || fail "lintian could not check the package (exit $lintian_status)"
pass "lintian: no errors, no warnings"

echo "-- dpkg -i, start /usr/bin/lentaro on Xvfb, dpkg -r"
installed=yes # from here on, leaving early removes whatever dpkg installed
# Another apt-get or dpkg run holds the dpkg lock for a while: wait for it rather than fail.
for attempt in $(seq 1 120); do
  if $SUDO dpkg -i "$deb" >"$work/dpkg.log" 2>&1; then break; fi
  grep -qi "lock" "$work/dpkg.log" || { cat "$work/dpkg.log"; fail "dpkg -i"; }
  [ "$attempt" -lt 120 ] || fail "the dpkg lock stayed held for 10 minutes"
  sleep 5
done
[ -x /usr/bin/lentaro ] || fail "/usr/bin/lentaro is missing after dpkg -i"
pass "dpkg -i"
mkdir -p "$work/shots"
"$build/tests/e2e_x11/lentaro_x11_demo" /usr/bin/lentaro "$work/shots" || fail "/usr/bin/lentaro on Xvfb"
pass "/usr/bin/lentaro shows its window and ends with exit code 0 when closed"
for shot in "$work"/shots/*.png; do
  size="$(stat -c %s "$shot")"
  [ "$size" -lt 262144 ] || fail "$(basename "$shot") takes $size bytes: screenshots should be compressed"
done
pass "the screenshots are compressed PNG files"
$SUDO dpkg -r lentaro >/dev/null
installed=""
[ ! -e /usr/bin/lentaro ] || fail "/usr/bin/lentaro is still there after dpkg -r"
pass "dpkg -r"
echo "package: $passed passed, 0 failed"
