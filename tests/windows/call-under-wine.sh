#!/usr/bin/env bash
# The Windows program under Wine on a real X server: COM1 is the fake modem's
# pseudo-terminal, set in the private prefix's HKLM\Software\Wine\Ports. A
# known customer's call brings the window with the record and leaves its rows,
# its balloon beside the tray icon; a new number is offered to be saved; a withheld one is shown as such; a
# second start brings the first copy forward; the tray icon's menu brings the
# window back; 设置 lists the ports and 来电统计 draws the calls; the end of
# the Windows session ends the program by itself with every call kept.
# Screenshots go to the artifacts.
#   call-under-wine.sh <Corvane.exe> <program folder> <dependency cache> <modemsim>
EXE=$1 BUILT_FOLDER=$2 DEPS=$3 MODEMSIM=$4
source "$(dirname "$0")/wine-lib.sh"
start_wine_desktop

PROGRAM="$WORK/bin"
mkdir -p "$PROGRAM"
cp "$EXE" "$PROGRAM/Corvane.exe"
cp "$BUILT_FOLDER"/tel.sql "$BUILT_FOLDER"/zel.ini "$BUILT_FOLDER"/ringin*.wav "$PROGRAM/"
# The line's log, and the program's output, tell a failure's story.
printf '[line]\r\nlog=1\r\n' >>"$PROGRAM/zel.ini"
report_logs() {
    echo "--- line.log"; tail -n 40 "$PROGRAM/line.log" 2>/dev/null
    echo "--- program"; tail -n 40 "$WORK/corvane.log" 2>/dev/null
}
FAILURE_REPORT=report_logs
sqlite3 "$PROGRAM/tel.mdb" <"$SOURCE_DIR/resources/tel.sql" >/dev/null
sqlite3 "$PROGRAM/tel.mdb" "INSERT INTO customer (customercode, customername, tel, address)
    VALUES ('A001', '张三商店', '02087654321', '广州市天河路1号')"

(cd "$PROGRAM" && wine_run "$PROGRAM/Corvane.exe" >"$WORK/corvane.log" 2>&1) &
FIRST=$!
PIDS+=($FIRST)
await_main
# The caller-ID command arrives with the exact bytes.
wait_for 300 eval 'grep -q "at#cid=1" "$WORK/modem.rec" 2>/dev/null' ||
    fail "the modem got no caller-ID command: $(cat -v "$WORK/modem.rec" 2>/dev/null)"
[ "$(head -c 9 "$WORK/modem.rec")" = $'at#cid=1\r' ] ||
    fail "the first bytes were $(head -c 20 "$WORK/modem.rec" | od -c | head -2)"

call_pops 02087654321 windows-call.png
# The call's balloon beside the tray icon, with the notification's text: a
# window of Wine's explorer, smaller than its taskbar. (Wine's balloon takes
# no click, so what a click does is left to Windows.)
find_balloon() {
    local w geo
    for w in $(xdotool search --onlyvisible --class explorer.exe 2>/dev/null); do
        geo=$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry/ {print $2}')
        ! icon_sized "$w" && [ "${geo%x*}" -lt 600 ] && return 0
    done
    return 1
}
wait_for 100 find_balloon || fail "no balloon for the call"
screenshot windows-call-desktop.png

# A second start brings the first copy forward and ends.
xdotool windowminimize "$MAIN"
sleep 1
(cd "$PROGRAM" && timeout 60 "$WINE_RUN" "$DEPS" "$PREFIX" "$PROGRAM/Corvane.exe") ||
    fail "the second start did not end by itself"
wait_for 100 viewable "$MAIN" || fail "a second start did not bring the window forward"

# A new number: the box says how to save it, the window shows the number.
modem "call 13912345678"
wait_for 300 find_box || fail "no word about the new number"
shoot "$BOX" "$ARTIFACTS/windows-new-number-box.png"
answer_box Return || fail "the box about the new number stayed"
shoot "$MAIN" "$ARTIFACTS/windows-new-number.png"
# A withheld number changes the window again, with no box.
modem "call P"
shoot_until_changed "$MAIN" "$ARTIFACTS/windows-new-number.png" "$ARTIFACTS/windows-withheld.png" 500 ||
    fail "the withheld call did not show"
find_box && fail "a box for the withheld call"

# The tray icon's menu: its first item brings the hidden window back.
xdotool windowminimize "$MAIN"
wait_for 30 eval '! viewable "$MAIN"' || fail "minimising left the window on screen"
await_tray_icon
click_centre "$(tray_icon)" 3
find_menu() {
    MENU=$(xdotool search --onlyvisible --class Corvane 2>/dev/null | while read -r w; do
        [ "$w" != "$MAIN" ] && ! icon_sized "$w" && echo "$w"
    done | head -1)
    [ -n "$MENU" ]
}
wait_for 50 find_menu || fail "no menu after a right click on the tray icon"
screenshot windows-tray-menu.png
eval "$(xdotool getwindowgeometry --shell "$MENU")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 4))
sleep 0.3
xdotool click 1
wait_for 100 viewable "$MAIN" || fail "the tray menu did not bring the window back"

# The line settings list COM1; 来电统计 draws the three calls.
open_menu_item 1 1
await_window 设置
shoot "$WIN" "$ARTIFACTS/windows-settings.png"
# "查找调制解调器", below the list of ports, asks COM1's modem its name.
origin_of "$WIN" D
xdotool mousemove $((DX + 70)) $((DY + 424)) click 1
wait_for 100 eval 'grep -q ATI "$WORK/modem.rec"' || fail "查找调制解调器 did not ask COM1"
sleep 1
shoot "$WIN" "$ARTIFACTS/windows-settings-modem-found.png"
xdotool key Escape
wait_for 50 eval '! xdotool search --onlyvisible --name "^设置\$" >/dev/null' || fail "设置 did not close"
open_menu_item 3 3
await_window 来电统计
shoot "$WIN" "$ARTIFACTS/windows-call-stats.png"
xdotool key Escape

# Logging off: Windows asks every program to end. SQLite's locks under Wine
# are not seen from Linux, so the rows are read once the program has ended.
wine_run wineboot --end-session >/dev/null 2>&1
wait_for 300 eval '! kill -0 "$FIRST" 2>/dev/null' || fail "the end of the session did not end the program"
rows=$(sqlite3 "$PROGRAM/tel.mdb" "SELECT (SELECT group_concat(number, ' ') FROM (SELECT number FROM calls ORDER BY id))
    || ' / ' || (SELECT count(*) FROM detail WHERE customercode = 'A001')")
[ "$rows" = "02087654321 13912345678 P / 1" ] || fail "rows after the session ended: $rows"
pass "calls of every kind on COM1 under Wine, the second start, the tray and the end of the session"
