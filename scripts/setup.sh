#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Varnotel need.
# Quick and silent about apt when everything is already there; safe to run again and again.
set -euo pipefail

# The one list of packages the project needs on a fresh Debian 12 machine.
PACKAGES=(
    # build
    cmake ninja-build g++
    # the fuzzers: clang with libFuzzer and the sanitizers' runtime
    clang libclang-rt-14-dev
    # Qt 6.4 Widgets, Test and Multimedia (qt6-base-dev brings the GL headers Qt's CMake files look for)
    qt6-base-dev qt6-multimedia-dev libgl-dev
    # so the background music can actually play (mpg123 decoder, pulse and ALSA sinks)
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    # so the manual video plays in the desktop's GStreamer players (the ASF demuxer, the WMV 8 and WMA 2
    # decoders), and gst-launch-1.0, with which the test command decodes it
    gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-tools
    # running the window without a display and taking its screenshot
    xvfb xauth x11-utils imagemagick
    # checking the desktop entry and the AppStream metainfo of the installed program
    desktop-file-utils appstream
    # opening articles, record files and homepages with the desktop's own programs
    xdg-utils
    # Times New Roman and 宋体 fall back through fontconfig to these
    fontconfig fonts-liberation fonts-noto-cjk
    # the mutation and coverage tools
    python3 gcovr
)

missing=()
for package in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != installed ]]; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    echo "setup: all ${#PACKAGES[@]} packages are installed."
    exit 0
fi

echo "setup: missing packages: ${missing[*]}"
if ((EUID != 0)); then
    echo "setup: not root, so nothing was installed. Run this, then try again:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
# Wait for another apt run instead of failing at once on its lock.
apt_options=(-o DPkg::Lock::Timeout=600)
apt-get "${apt_options[@]}" update </dev/null
apt-get "${apt_options[@]}" install -y --no-install-recommends "${missing[@]}" </dev/null
echo "setup: installed ${missing[*]}"
