#!/usr/bin/env bash
# Installs the Debian packages that the builds, the Wine bench and the demo need, when missing.
set -euo pipefail

# xdotool (with coreutils' sh and timeout) makes the end-to-end tests' keyboard and mouse input
# on their Xvfb display; the demo uses it too.
packages=(
    cmake make g++ clang libclang-rt-14-dev clang-format clang-tidy googletest
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick fonts-noto-cjk python3
    python3-markdown chromium locales
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
# The guide's pictures show Wine's own dialogs in Japanese, which needs a Japanese locale.
has_japanese_locale() { locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; }
[ ${#missing[@]} -eq 0 ] && has_japanese_locale && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
    sudo_cmd=(sudo)
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
has_japanese_locale || "${sudo_cmd[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
