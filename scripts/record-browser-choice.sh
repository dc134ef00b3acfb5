#!/usr/bin/env bash
# The installation's part: records which browser Pagewheel drives on its
# first run, as "IBROWSER" in the [Registration] section of the user's
# settings ($XDG_CONFIG_HOME/Pagewheel/Pagewheel.ini, ~/.config by default).
# "C" (the automation browser) when a Chromium-family browser is on PATH,
# else "F" (Firefox through its remote-open command) when Firefox is.
# A choice already recorded is kept. Run it as the user who runs Pagewheel.
set -euo pipefail

if [ "${EUID:-$(id -u)}" -eq 0 ] && [ -n "${SUDO_USER:-}" ]; then
    echo "record-browser-choice: run this as the user, not through sudo" >&2
    exit 1
fi

settings_dir="${XDG_CONFIG_HOME:-$HOME/.config}/Pagewheel"
settings="$settings_dir/Pagewheel.ini"

# Already chosen?
if [ -f "$settings" ] && awk '
    /^\[/ { in_section = ($0 ~ /^\[Registration\][[:space:]]*$/); next }
    in_section && /^IBROWSER[[:space:]]*=/ { found = 1 }
    END { exit found ? 0 : 1 }' "$settings"; then
    exit 0
fi

choice=""
for browser in chromium chromium-browser google-chrome google-chrome-stable microsoft-edge \
    brave-browser; do
    if command -v "$browser" >/dev/null 2>&1; then
        choice=C
        break
    fi
done
if [ -z "$choice" ]; then
    for browser in firefox firefox-esr; do
        if command -v "$browser" >/dev/null 2>&1; then
            choice=F
            break
        fi
    done
fi
if [ -z "$choice" ]; then
    echo "record-browser-choice: no Chromium-family browser or Firefox found; nothing recorded" >&2
    exit 0
fi

mkdir -p "$settings_dir"
touch "$settings"
# Into the [Registration] section, which is made when missing; the other
# sections stay as they are.
tmp=$(mktemp "$settings_dir/.Pagewheel.ini.XXXXXX")
awk -v choice="$choice" '
    { print }
    !written && /^\[Registration\][[:space:]]*$/ { print "IBROWSER=" choice; written = 1 }
    END {
        if (!written) {
            if (NR > 0) print ""
            print "[Registration]"
            print "IBROWSER=" choice
        }
    }' "$settings" >"$tmp"
mv "$tmp" "$settings"
echo "record-browser-choice: recorded browser $choice in $settings"
