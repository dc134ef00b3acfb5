#!/usr/bin/env bash
# Installs the build into a temporary root and checks what a desktop sees.
# Usage: install-test.sh <build folder> <source folder>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
root=$(mktemp -d /tmp/pagewheel-install.XXXXXX)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/usr"
program="$usr/lib/pagewheel"

# The link in bin/ leads to the executable in the program folder.
[ -L "$usr/bin/pagewheel" ] || fail "bin/pagewheel is not a link"
[ "$(readlink -f "$usr/bin/pagewheel")" = "$program/pagewheel" ] || fail "bin/pagewheel leads elsewhere"
[ -x "$program/pagewheel" ] || fail "no executable in the program folder"

# Everything the program reads from its folder is there.
for file in data/DemoShow.txt data/vexilo.jpg data/demo/welcome.htm data/demo/chime.wav \
    help/topics.txt help/index.htm test.htm TipofDay.txt NAV.txt STRTTOUR.txt \
    site/index.htm site/PagewheelUpdates.htm; do
    [ -s "$program/$file" ] || fail "missing $file"
done
# Only what ships: nothing a build or test run leaves in the build folder.
extra=$(find "$program" -type f \( -name '*.wav' -path '*tempRec*' -o -name 'DebugFile.txt' \
    -o -name 'ErrrorFile.txt' -o -name '*.o' -o -name 'CMake*' \))
[ -z "$extra" ] || fail "build leftovers installed: $extra"

# No shipped text file names the build or source folder.
if grep -rIl -e "$build" -e "$source" "$usr"; then
    fail "a shipped file names the build or source folder"
fi
# The demo show's local slides all exist relative to the program folder.
while IFS=, read -r address sound _; do
    address=${address//\"/}
    sound=${sound//\"/}
    for ref in "$address" "$sound"; do
        case "$ref" in "" | http*) continue ;; esac
        [ -f "$program/$ref" ] || fail "demo show names a missing file: $ref"
    done
done < <(tr -d '\r' <"$program/data/DemoShow.txt")

# The version the updates page names is this build's.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
grep -q "id=\"$version\"" "$program/site/PagewheelUpdates.htm" || fail "updates page lacks $version"

# Icons of the usual sizes, PNGs of their size, and a scalable one.
for size in 16 22 24 32 48 64 128 256; do
    icon="$usr/share/icons/hicolor/${size}x${size}/apps/pagewheel.png"
    [ -s "$icon" ] || fail "no ${size}px icon"
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    read -r w h < <(od -An -tu4 --endian=big -j16 -N8 "$icon")
    [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$icon is ${w}x${h}"
done
grep -q '<svg' "$usr/share/icons/hicolor/scalable/apps/pagewheel.svg" || fail "no scalable icon"

desktop=$(ls "$usr"/share/applications/*.desktop)
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
grep -q '^Icon=pagewheel$' "$desktop" || fail "desktop entry names another icon"
grep -q '^Exec=pagewheel' "$desktop" || fail "desktop entry runs another program"
appstreamcli validate --no-net --pedantic "$usr"/share/metainfo/*.metainfo.xml ||
    fail "metainfo does not validate"
echo "install layout OK"
