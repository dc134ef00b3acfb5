#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and runs the
# unpacked program headless on its demo show, driving a headless Chromium.
# Usage: package-test.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/pagewheel-package.XXXXXX)
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
    # The browser the program started, found by its profile in this home.
    for process in /proc/[0-9]*; do
        if grep -qsF -- "$work/home" "$process/cmdline"; then
            kill -KILL "${process#/proc/}" 2>/dev/null || true
        fi
    done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -f "$log" ] && tail -40 "$log" >&2
    exit 1
}
log=

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
    cat "$work/cpack.log" >&2
    fail "cpack failed"
}
deb=$(ls "$work"/out/pagewheel_*.deb)
info=$(dpkg-deb -f "$deb" Depends Recommends)
# Dependencies come from the libraries the program links.
echo "$info" | grep -q 'libqt6widgets6' || fail "no Qt widgets dependency: $info"
echo "$info" | grep -q 'libc6' || fail "no C library dependency: $info"
echo "$info" | grep -q '^Recommends:.*chromium' || fail "no browser recommended: $info"

root="$work/root"
dpkg-deb -x "$deb" "$root"
program="$root/usr/lib/pagewheel"
[ -L "$root/usr/bin/pagewheel" ] || fail "no bin/pagewheel link in the package"

# A user whose settings are stored already (no first-run box) and an
# options file that runs the installed demo show at once.
home="$work/home"
mkdir -p "$home/config/Pagewheel" "$home/data"
printf '[Options]\nAutoMode=2\nDisplayTips=False\nDisplayWizard=False\nAutoStart=False\n' \
    >"$home/config/Pagewheel/Pagewheel.ini"
options="$home/demo-options.txt"
printf '"AutoMode",2\r\n"AutoDDEexe","IExplore.exe"\r\n"AutoStart",#TRUE#\r\n"ReloadMode",3\r\n"CarouselOperation",1\r\n"CarouselMode",1\r\n"DisplayTips",#FALSE#\r\n"DisplayWizard",#FALSE#\r\n"StartingAddress",""\r\n"StartingSlide",0\r\n"CarouselFileName","%s"\r\n' \
    "$program/data/DemoShow.txt" >"$options"

cd "$home"
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    PAGEWHEEL_BROWSER_FLAGS=--headless=new QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/pagewheel" screen debug options "$options" >"$work/program.out" 2>&1 &
program_pid=$!

# The log goes to the program folder when it is writable, else to the
# user's data folder.
welcome="file://$program/data/demo/welcome.htm"
for _ in $(seq 1 300); do
    for candidate in "$program/DebugFile.txt" "$home/data/Pagewheel/DebugFile.txt"; do
        [ -f "$candidate" ] && log=$candidate
    done
    if [ -n "$log" ] && grep -q "DocumentComplete: $welcome" "$log"; then
        break
    fi
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended early: $(cat "$work/program.out")"
    sleep 0.2
done
[ -n "$log" ] || fail "no debug log"
grep -q "DocumentComplete: $welcome" "$log" || fail "the browser did not load the demo page"
echo "package runs its demo show OK"
