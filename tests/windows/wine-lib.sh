# Shared by the tests under Wine: the desktop tests' helpers, a private Wine
# prefix in the test's folder and a real X server whose COM1 is the fake
# modem's pseudo-terminal (set in the prefix's HKLM\Software\Wine\Ports).
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

# The desktop with its tray, the modem, and the prefix. Every COM number has
# a value, so Wine hands none of them to the machine's own serial ports. The
# dialogs' 宋体, which a Chinese Windows has, is the machine's Chinese font.
start_wine_desktop() {
    start_desktop tray
    start_modem
    wine_run wineboot --init >/dev/null 2>&1
    {
        printf '\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n"COM1"="%s"\r\n' "$MODEM_DEVICE"
        for n in $(seq 2 256); do printf '"COM%s"=""\r\n' "$n"; done
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        printf '"宋体"="WenQuanYi Micro Hei"\r\n"SimSun"="WenQuanYi Micro Hei"\r\n'
    } | iconv -f UTF-8 -t UTF-16LE >"$WORK/prefix.reg"
    wine_run regedit /S "$(windows_path "$WORK/prefix.reg")" >/dev/null 2>&1
    end_wine
    wine_run reg query 'HKLM\Software\Wine\Ports' /v COM1 2>/dev/null | grep -qF "$MODEM_DEVICE" ||
        fail "COM1 could not be mapped to the modem"
    rm -f "$PREFIX/dosdevices/com"*
    ln -s "$MODEM_DEVICE" "$PREFIX/dosdevices/com1"
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
