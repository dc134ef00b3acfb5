#!/usr/bin/env bash
# Starts the services the tests need and exports their environment:
# an X server with a window manager, and a PulseAudio daemon with a null
# sink. Source it; call test_env_stop when done.
# Settings and data of the tests go to a temporary home of their own, so
# a developer's own settings are never touched.

TEST_ENV_DIR=$(mktemp -d /tmp/pagewheel-test.XXXXXX)
export XDG_CONFIG_HOME=$TEST_ENV_DIR/config
export XDG_DATA_HOME=$TEST_ENV_DIR/data
export XDG_CACHE_HOME=$TEST_ENV_DIR/cache
export XDG_RUNTIME_DIR=$TEST_ENV_DIR/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

test_env_pids=()

# A display number that is free.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
if command -v Xvfb >/dev/null; then
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$TEST_ENV_DIR/xvfb.log" 2>&1 &
    test_env_pids+=($!)
    export DISPLAY=":$display"
    for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.1
    done
    if command -v openbox >/dev/null; then
        openbox >"$TEST_ENV_DIR/openbox.log" 2>&1 &
        test_env_pids+=($!)
    fi
fi

if command -v pulseaudio >/dev/null; then
    pulseaudio -D --system=false --exit-idle-time=-1 -n \
        --load="module-null-sink sink_name=null" \
        --load="module-remap-source master=null.monitor source_name=mic" \
        --load=module-native-protocol-unix >"$TEST_ENV_DIR/pulse.log" 2>&1 || true
    pactl set-default-sink null >/dev/null 2>&1 || true
    pactl set-default-source mic >/dev/null 2>&1 || true
fi

test_env_stop() {
    pulseaudio --kill >/dev/null 2>&1 || true
    for pid in "${test_env_pids[@]}"; do
        kill "$pid" >/dev/null 2>&1 || true
    done
    wait >/dev/null 2>&1 || true
    rm -rf "$TEST_ENV_DIR"
}
