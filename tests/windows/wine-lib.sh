# Shared by the tests under Wine: the desktop tests' helpers, a private Wine
# prefix in the test's folder and a real X server whose COM1 is the fake
# modem's pseudo-terminal (tools/windows/wine-prefix.sh).
# The sourcing script sets DEPS (the dependency cache, or empty for a program
# that brings its own DLLs) and MODEMSIM.
source "$(dirname "${BASH_SOURCE[0]}")/../desktop/desktop-lib.sh"
WINE_RUN="$HERE/../../tools/windows/wine-run.sh"
PREFIX="$WORK/wineprefix"
wine_run() { "$WINE_RUN" "$DEPS" "$PREFIX" "$@"; }
# Ends every program of the prefix at once, as a power cut would.
end_wine() { WINEPREFIX="$PREFIX" /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true; }
# Waits until every program of the prefix has ended.
await_wine() { WINEPREFIX="$PREFIX" /usr/lib/wine/wineserver64 -w >/dev/null 2>&1 || true; }
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The desktop with its tray, the modem, and the prefix with the modem as COM1.
start_wine_desktop() {
    start_desktop tray
    start_modem
    "$HERE/../../tools/windows/wine-prefix.sh" "$DEPS" "$PREFIX" "$MODEM_DEVICE" ||
        fail "COM1 could not be mapped to the modem"
}

# Wine's explorer docks the program's tray icon into the desktop's tray.
tray_icon() {
    local w geo
    for w in $(xdotool search --class explorer.exe 2>/dev/null); do
        geo=$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry/ {print $2}')
        viewable "$w" && icon_sized "$w" && [ "${geo%x*}" -ge 16 ] && { echo "$w"; return 0; }
    done
    return 1
}

# The program's main window as MAIN, waited for.
find_main() {
    MAIN=$(xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | head -1)
    [ -n "$MAIN" ]
}
await_main() { wait_for 600 find_main || fail "no main window under Wine"; }

# call_pops <number> <screenshot>: a call from the number brings the
# minimised window back; the window is saved as the screenshot.
call_pops() {
    xdotool windowminimize "$MAIN"
    sleep 1
    modem "call $1"
    wait_for 100 viewable "$MAIN" || fail "the call did not bring the window back"
    sleep 2
    import -window "$MAIN" "$ARTIFACTS/$2"
}
