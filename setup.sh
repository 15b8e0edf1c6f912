#!/usr/bin/env bash
# Sets Corvane up on Debian 12: installs the Debian packages that are missing,
# builds, then either starts the program from its folder (run) or runs every
# test (test).
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    # build
    cmake g++ make pkg-config qt6-base-dev qt6-serialport-dev libqt6sql6-sqlite libsqlite3-dev libasound2-dev sqlite3
    # running: Chinese font, Qt's own texts in Chinese, sound through ALSA
    fonts-wqy-microhei qt6-translations-l10n libasound2-plugins
    # tests: real X server with window manager and tray, tools to drive it,
    # private sound server
    xvfb jwm xdotool x11-utils imagemagick pulseaudio
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

case "${1:-run}" in
    run)
        cd build/bin
        exec ./Corvane
        ;;
    test)
        exec ctest --test-dir build --output-on-failure --timeout 600
        ;;
    *)
        echo "usage: $0 [run|test]" >&2
        exit 2
        ;;
esac
