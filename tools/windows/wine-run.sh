#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, the build's emulator:
#   wine-run.sh <dependency cache> <Wine prefix> program.exe [arguments...]
# The prefix is the build's own, made on first use; Qt's, libpq's and MinGW's
# libraries are found where the build took them from, Qt's plugins beside its
# libraries. Wine hides the host's QT_ variables from its programs. With an
# empty cache a program finds only what its own folder and Windows hold, as
# on a shop's PC.
set -euo pipefail
deps="$1"
prefix="$2"
shift 2
wine=/usr/lib/wine/wine64
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
# No menu entries, Mono or Gecko: nothing of the machine's own is touched or fetched.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# Wine's own home, so that nothing reaches the desktop of whoever runs the tests.
export HOME="$prefix.home"
mkdir -p "$HOME"
if [ ! -f "$prefix/system.reg" ]; then
    (
        flock 9
        [ -f "$prefix/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1
    ) 9>"$prefix.lock"
fi
if [ -n "$deps" ]; then
    runtime="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
    winepath() { printf 'Z:%s' "${1//\//\\}"; }
    export WINEPATH="$(winepath "$deps/bin");$(winepath "$runtime");$(winepath /usr/x86_64-w64-mingw32/lib)"
else
    unset WINEPATH
fi
exec "$wine" "$@"
