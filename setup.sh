#!/usr/bin/env bash
# Sets Corvane up on Debian 12: installs the Debian packages that are missing,
# builds, then either starts the program from its folder (run), runs every
# test (test): the format check and all tests on a build with warnings as
# errors, then the unit and end-to-end tests again on a second build with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize), and the
# Windows build (build-windows) with its tests under Wine, or makes
# the Debian package build/corvane_<version>_<arch>.deb (package) from the
# test build's program, or the Windows installer and portable zip
# build-windows/CorvaneSetup-<version>.exe and
# build-windows/Corvane-<version>-windows-x64.zip (windows).
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    # build
    cmake g++ make pkg-config qt6-base-dev qt6-serialport-dev libqt6sql6-sqlite libsqlite3-dev libasound2-dev sqlite3
    # the shared database's client library
    libpq-dev
    # running: Chinese font, Qt's own texts in Chinese, sound through ALSA,
    # Qt's Wayland plugin
    fonts-wqy-microhei qt6-translations-l10n libasound2-plugins qt6-wayland
    # tests: real X server with window manager and tray, tools to drive it,
    # private sound server, the format check, the database server the tests
    # start privately, a clock set to the turn of the year for the program
    xvfb jwm xdotool x11-utils imagemagick pulseaudio clang-format postgresql-15 libfaketime
    # the desktops beyond jwm: a private session bus, notification daemons for
    # X11 and Wayland, a Wayland compositor with its screenshot and typing
    # tools (and jq to read its window tree), a StatusNotifierItem tray
    dbus-daemon dbus-bin dunst mako-notifier sway grim wtype jq xfce4-panel
    # the package: its dependencies worked out, its desktop files checked, and
    # the check of installing it on a fresh system
    dpkg-dev file desktop-file-utils appstream debootstrap
    # the Windows build: the cross compiler, what builds its Qt, SQLite and
    # libpq from Debian's own sources, and Wine to run its tests
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix ninja-build tcl bzip2 xz-utils wine64
    # the Windows installer
    nsis
    # compiled objects kept between runs on one machine
    ccache
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Every build compiles through one cache of this machine's, whatever folder
# the checkout is in.
export CCACHE_DIR="${CCACHE_DIR:-/var/cache/corvane-ccache}" CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache

# The Windows build's Qt, SQLite and libpq, built once per machine from
# Debian's source packages; prints where they are.
windows_dependencies() {
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            $sudo tee /etc/apt/sources.list.d/corvane-sources.sources >/dev/null
        $sudo apt-get update >&2
    fi
    tools/windows/build-deps.sh
}

# Configures build-windows against that cache; the end-to-end tests under
# Wine take the fake modem from the Linux build.
configure_windows() {
    local deps
    deps="$(windows_dependencies)" &&
        cmake -S . -B build-windows -DCMAKE_BUILD_TYPE=Release -DCORVANE_WERROR=ON "$launcher" \
            -DCMAKE_TOOLCHAIN_FILE="$deps/lib/cmake/Qt6/qt.toolchain.cmake" \
            -DCORVANE_HOST_MODEMSIM="$PWD/build/tools/modemsim/modemsim"
}

case "${1:-run}" in
    run)
        cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=OFF
        cmake --build build -j"$(nproc)"
        cd build/bin
        exec ./Corvane
        ;;
    test)
        # Both builds run to the end, so one run shows every failure.
        failed=0
        time {
            cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON "$launcher" &&
                cmake --build build -j"$(nproc)" &&
                ctest --test-dir build --output-on-failure --timeout 600
        } || failed=1
        # The sanitizer build leaves out the benchmarks, the desktop tests,
        # which drive the same code through a real X server, the package,
        # which is made from the normal build, and the real-time sound test,
        # whose timing the instrumented build cannot keep. Its warnings are
        # the normal build's, plus false alarms of the instrumented optimiser.
        time {
            cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=OFF "$launcher" \
                -DCORVANE_SANITIZE=ON -DCORVANE_BENCH=OFF &&
                cmake --build build-sanitize -j"$(nproc)" &&
                ctest --test-dir build-sanitize --output-on-failure --timeout 600 \
                    -LE 'desktop|package' -E tst_sound_realtime
        } || failed=1
        # The Windows build, its tests under Wine in a prefix of its own, the
        # installer and zip among them.
        time {
            configure_windows &&
                cmake --build build-windows -j"$(nproc)" --target all windows-packages &&
                ctest --test-dir build-windows --output-on-failure --timeout 600
        } || failed=1
        exit $failed
        ;;
    package)
        # The test build's configuration, so the program is not built again.
        cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON "$launcher"
        cmake --build build -j"$(nproc)" --target package-files
        rm -f build/corvane_*.deb
        (cd build && cpack)
        ls build/corvane_*.deb
        ;;
    windows)
        # Only the program and what it ships, not the tests.
        configure_windows
        cmake --build build-windows -j"$(nproc)" --target windows-packages
        ls -l build-windows/CorvaneSetup-*.exe build-windows/Corvane-*-windows-x64.zip
        ;;
    *)
        echo "usage: $0 [run|test|package|windows]" >&2
        exit 2
        ;;
esac
