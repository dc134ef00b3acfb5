#!/usr/bin/env bash
# Qt's own command-line words (-reverse, -style ...) must reach start-up,
# which reports them as unknown and waits for the user, instead of Qt
# taking them out and silently changing the program.
# Usage: qt-words-test.sh <program>
set -euo pipefail
work=$(mktemp -d /tmp/pagewheel-words.XXXXXX)
pid=
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A program folder of its own, so the debug log is this run's alone.
cp "$1" "$work/pagewheel"
mkdir -p "$work/config/Pagewheel" "$work/data"
printf '[Options]\nAutoMode=0\nDisplayTips=False\nDisplayWizard=False\n' \
    >"$work/config/Pagewheel/Pagewheel.ini"
log="$work/DebugFile.txt"

for words in "-reverse" "-style fusion"; do
    rm -f "$log"
    HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
        QT_QPA_PLATFORM=offscreen "$work/pagewheel" debug $words >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
        grep -q "PAGEWHEEL Begins" "$log" 2>/dev/null && break
        sleep 0.1
    done
    grep -q "PAGEWHEEL Begins" "$log" || { echo "FAIL: no debug log" >&2; exit 1; }
    # The box about the unknown word holds start-up before the splash.
    sleep 2
    if grep -q "showing splash" "$log"; then
        echo "FAIL: $words did not reach start-up" >&2
        exit 1
    fi
    kill -0 "$pid" || { echo "FAIL: the program ended" >&2; exit 1; }
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    pid=
done
echo "Qt's words reach start-up"
