#!/usr/bin/env bash
# Installs the Debian packages Pagewheel needs to build, run and test.
# Idempotent: when every package is present it only checks and returns.
# Works as root (CI) and through sudo for a normal user.
# With the argument "fuzz" it also installs clang and its fuzzer runtime.
set -euo pipefail

packages=(
    build-essential cmake make pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-websockets-dev qt6-qpa-plugins
    libgl-dev libpulse-dev libxcb1-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    chromium
    xvfb xauth openbox x11-utils imagemagick
    pulseaudio pulseaudio-utils
    fonts-dejavu-core
    desktop-file-utils appstream dpkg-dev
)

if [ "${1:-}" = fuzz ]; then
    packages+=(clang libclang-rt-14-dev)
fi

# Node.js runs the Playwright-driven browser tests and benchmarks; a
# machine that already has node (and npm) keeps its own.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then
        as_root=()
    elif command -v sudo >/dev/null 2>&1; then
        as_root=(sudo)
    else
        echo "Missing packages (${missing[*]}) and no sudo to install them; install them as root." >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The npm packages, as the lock file pins them (as the user, never root's
# copy for a normal user). Done again only when the lock file changed.
top=$(cd "$(dirname "$0")/.." && pwd)
stamp="$top/node_modules/.package-lock.json"
if [ ! -f "$stamp" ] || [ "$top/package-lock.json" -nt "$stamp" ]; then
    (cd "$top" && npm ci --no-audit --no-fund --loglevel=error)
fi
