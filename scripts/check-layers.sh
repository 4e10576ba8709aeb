#!/usr/bin/env bash
# Checks that every include between the source folders goes downward (docs/architecture.md has the
# picture), and that only the backends include the OS's window system headers. Prints each include
# that breaks a rule and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

# The folders a folder's files may include besides their own.
allowed_below() {
    case "$1" in
    framework/platform) echo "" ;;
    framework/platform/x11/atspi) echo "framework/platform framework/platform/x11" ;; # the X11 backend's plug-in
    framework/platform/*) echo "framework/platform" ;; # a backend: the interface, never another backend
    framework/core) echo "framework/platform" ;;
    framework/graphics) echo "framework/platform framework/core" ;;
    framework/controls) echo "framework/platform framework/core framework/graphics" ;;
    framework/forms) echo "framework/platform framework/core framework/graphics framework/controls" ;;
    framework/stored) echo "framework/platform framework/core framework/graphics framework/controls framework/forms" ;;
    xp | edit) echo "$toolkit" ;;
    zoom) echo "$toolkit xp" ;;
    spinedit) echo "$toolkit edit" ;;
    app | app/*) echo "$toolkit xp edit zoom spinedit app" ;;
    *) echo "?" ;;
    esac
}
toolkit="framework/platform framework/core framework/graphics framework/controls framework/forms framework/stored"

broken=0
while IFS= read -r file; do
    folder=$(dirname "$file")
    allowed=$(allowed_below "$folder")
    if [ "$allowed" = "?" ]; then
        echo "check-layers: $file lies in no known layer; add its folder to scripts/check-layers.sh"
        broken=1
        continue
    fi
    while IFS= read -r line; do
        header=${line#*\"}
        header=${header%%\"*}
        target=$(dirname "$header")
        [ "$target" = "$folder" ] && continue
        case " $allowed " in *" $target "*) continue ;; esac
        echo "check-layers: $file includes $header, which is not below it"
        broken=1
    done < <(grep -E '^\s*#\s*include\s+"' "$file" || true)
    case "$folder" in framework/platform/x11 | framework/platform/win32) continue ;; esac
    if grep -nE '^\s*#\s*include\s+<(X11/|windows\.h|winuser\.h|wingdi\.h|uxtheme\.h)' "$file"; then
        echo "check-layers: $file includes a window system header; only a backend may"
        broken=1
    fi
done < <(find framework xp edit zoom spinedit app -name '*.h' -o -name '*.cpp' | sort)

if [ "$broken" -ne 0 ]; then
    echo "check-layers: includes must go downward only" >&2
    exit 1
fi
echo "check-layers: every include goes downward"
