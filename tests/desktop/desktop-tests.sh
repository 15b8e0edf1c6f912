#!/usr/bin/env bash
# Desktop behaviour of the real program under a real X server, window manager,
# taskbar and tray: desktop-tests.sh <case>. Screenshots go to the artifacts.
source "$(dirname "$0")/desktop-lib.sh"

case_tray_dock() {
    start_desktop tray
    make_program_folder
    start_corvane
    await_tray_icon
    in_taskbar "$MAIN" || fail "the main window has no taskbar entry"
    sleep 0.5
    import -frame -window "$MAIN" "$ARTIFACTS/main-window.png"
    screenshot desktop-tray.png
    # The "[文件]" menu open, in the flat look.
    origin_of "$MAIN" M
    xdotool mousemove $((MX + 25)) $((MY + 10)) click 1
    sleep 0.5
    xdotool mousemove $((MX + 50)) $((MY + 35))
    sleep 0.5
    screenshot main-window-menu.png
    xdotool key Escape
    pass "the tray icon docks beside a shown main window"
}

case_minimise_restore() {
    start_desktop tray
    make_program_folder
    start_corvane
    await_tray_icon
    xdotool windowminimize "$MAIN"
    wait_for 30 eval '! viewable "$MAIN"' || fail "minimising left the window on screen"
    wait_for 30 eval '! in_taskbar "$MAIN"' || fail "minimising left a taskbar entry"
    screenshot minimised-to-tray.png
    click_centre "$(tray_icon)" 1
    sleep 1
    viewable "$MAIN" && fail "a single click brought the window back"
    click_centre "$(tray_icon)" 1 2
    wait_for 30 viewable "$MAIN" || fail "a double click did not bring the window back"
    in_taskbar "$MAIN" || fail "the restored window has no taskbar entry"
    xprop -id "$MAIN" _NET_WM_STATE | grep -q HIDDEN && fail "the restored window is still minimised"
    screenshot restored-from-tray.png
    pass "minimise to tray, single click ignored, double click restores"
}

# Right click on the tray icon, then "退出" in its menu; the program must end
# at once with code 0 and take its icon along.
exit_through_tray_menu() {
    local tray popup=""
    tray=$(tray_icon)
    click_centre "$tray" 3
    find_popup() {
        for w in $(xdotool search --onlyvisible --class Corvane); do
            [ "$w" = "$MAIN" ] || [ "$w" = "$tray" ] || [ "$w" = "${DIALOG:-}" ] || { popup=$w; return 0; }
        done
        return 1
    }
    wait_for 30 find_popup || fail "no pop-up menu after a right click"
    eval "$(xdotool getmouselocation --shell)"
    local mx=$X my=$Y
    eval "$(xdotool getwindowgeometry --shell "$popup")"
    # At the cursor: one of its corners there, moved only as far as the screen needs.
    [ $((mx - X)) -ge -2 ] && [ $((mx - X - WIDTH)) -le 2 ] || fail "pop-up not at the cursor horizontally"
    [ $((my - Y)) -ge -2 ] && [ $((my - Y - HEIGHT)) -le 40 ] || fail "pop-up not at the cursor vertically"
    screenshot "$1"
    # "退出" is the second of its two items.
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * 3 / 4))
    sleep 0.3
    xdotool click 1
    # A program that does not end is caught by the test's time limit.
    local code
    wait "$CORVANE_PID"
    code=$?
    [ "$code" = 0 ] || fail "the program ended with code $code"
    sleep 0.3
    tray_icon >/dev/null && fail "the tray icon is still there"
    return 0
}

case_tray_menu_exit() {
    start_desktop tray
    make_program_folder
    start_corvane
    await_tray_icon
    exit_through_tray_menu tray-menu.png
    pass "the tray menu opens at the cursor and its exit ends the program, icon gone"
}

case_tray_exit_during_modal() {
    start_desktop tray
    make_program_folder
    # No zel.ini: the error box of the start-up stays open, modal, for real.
    MESSAGE_LOG="" start_corvane
    await_tray_icon
    wait_for 50 find_box || fail "no modal error box at start-up"
    DIALOG=$BOX
    exit_through_tray_menu tray-exit-during-modal.png
    pass "the tray menu's exit ends the program even while a modal box is open"
}

case_second_instance() {
    start_desktop tray
    make_program_folder
    start_corvane
    await_tray_icon
    xdotool windowminimize "$MAIN"
    wait_for 30 eval '! viewable "$MAIN"' || fail "minimising left the window on screen"
    local start end code
    start=$(date +%s%N)
    "$PROGRAM/Corvane" >"$WORK/second.log" 2>&1
    code=$?
    end=$(date +%s%N)
    [ "$code" = 0 ] || fail "the second copy ended with code $code"
    wait_for 30 viewable "$MAIN" || fail "the first copy did not come back"
    [ "$(xdotool search --onlyvisible --name '^Corvane$' | wc -l)" = 1 ] || fail "more than one main window"
    local icons=0
    for w in $(xdotool search --class Corvane); do
        [ "$w" != "$MAIN" ] && viewable "$w" && icons=$((icons + 1))
    done
    [ "$icons" = 1 ] || fail "$icons tray icons"
    screenshot second-start.png
    pass "a second copy brings the first back and ends in $(((end - start) / 1000000)) ms"
}

# Started as at login: the line is set up, the icon docks, no window shows;
# a second start brings the window up.
case_tray_start() {
    start_desktop tray
    start_modem
    make_program_folder
    printf '[zel]\r\nfather=com1\r\nschool=\xd6\xc6\xca\xbd1\r\n[ports]\r\ncom1=%s\r\n' "$MODEM_DEVICE" >"$PROGRAM/zel.ini"
    launch_corvane --tray
    MAIN=none
    await_tray_icon
    wait_for 50 eval 'grep -qF "at#cid=1" "$WORK/modem.rec" 2>/dev/null' || fail "the line was not set up in the tray"
    sleep 1
    local shown
    shown=$(xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | while read -r w; do icon_sized "$w" || echo "$w"; done)
    [ -z "$shown" ] && ! find_box || fail "a window showed at a start into the tray"
    kill -0 "$CORVANE_PID" 2>/dev/null || fail "the program ended"
    screenshot tray-start.png
    "$PROGRAM/Corvane" >"$WORK/second.log" 2>&1 || fail "the second copy failed"
    await_window Corvane
    MAIN=$WIN
    in_taskbar "$MAIN" || fail "the window brought up has no taskbar entry"
    shoot "$MAIN" "$ARTIFACTS/tray-start-brought-forward.png"
    pass "--tray sets up the line with no window; a second start shows it"
}

# --tray where no tray is: the window starts minimised, reachable from the
# taskbar, rather than out of reach.
case_tray_start_no_tray_host() {
    start_desktop notray
    make_program_folder
    launch_corvane --tray
    iconic_main() {
        for w in $(xdotool search --name '^Corvane$' 2>/dev/null); do
            xprop -id "$w" WM_STATE 2>/dev/null | grep -qi iconic && { MAIN=$w; return 0; }
        done
        return 1
    }
    wait_for 100 iconic_main || fail "no minimised window"
    viewable "$MAIN" && fail "the window is on screen"
    in_taskbar "$MAIN" || fail "the minimised window has no taskbar entry"
    screenshot tray-start-no-tray-host.png
    pass "without a tray host --tray starts minimised in the taskbar"
}

# Two copies started at the same moment, as a double click on the launcher
# does: one goes on, the other ends with 0 and brings it forward.
case_simultaneous_start() {
    start_desktop tray
    make_program_folder
    CORVANE_MESSAGE_LOG="$WORK/first.log" "$PROGRAM/Corvane" >"$WORK/first.out" 2>&1 &
    local first=$!
    CORVANE_MESSAGE_LOG="$WORK/second.log" "$PROGRAM/Corvane" >"$WORK/second.out" 2>&1 &
    local second=$!
    PIDS+=($first $second)
    await_window Corvane
    # Both going on is caught by the test's time limit.
    local ended code
    wait -n -p ended "$first" "$second"
    code=$?
    [ "$code" = 0 ] || fail "the copy that ended did so with code $code"
    local other=$first
    [ "$ended" = "$first" ] && other=$second
    kill -0 "$other" 2>/dev/null || fail "neither copy went on"
    [ "$(xdotool search --onlyvisible --name '^Corvane$' | wc -l)" = 1 ] || fail "more than one main window"
    pass "of two copies started together one goes on and the other ends with 0"
}

case_stale_socket() {
    start_desktop tray
    make_program_folder
    start_corvane
    kill -9 "$CORVANE_PID"
    wait "$CORVANE_PID" 2>/dev/null
    [ -S "$XDG_RUNTIME_DIR/TCorvaneMainWindow" ] || fail "the crashed copy left no socket"
    start_corvane
    viewable "$MAIN" || fail "the program did not start after a crash"
    pass "a socket left by a crashed copy does not stop the next start"
}

# listen_as_nobody <path>: a socket at path, made by another user who listens
# on it (and so answers a connection) until the test ends.
listen_as_nobody() {
    runuser -u nobody -- perl -MIO::Socket::UNIX -e \
        'IO::Socket::UNIX->new(Type => SOCK_STREAM(), Local => $ARGV[0], Listen => 5) or die "$!"; sleep 600' \
        "$1" &
    PIDS+=($!)
    wait_for 50 test -S "$1" || fail "no socket planted at $1"
}

# Another user listening where the channel used to be (the shared temporary
# folder, under the old predictable name) and in a "corvane-<uid>" folder of
# its own making: neither stops a start, even without a runtime folder, and the
# channel, moved to the user's cache folder, still keeps to one copy.
case_planted_socket() {
    start_desktop tray
    make_program_folder
    unset XDG_RUNTIME_DIR
    export XDG_CACHE_HOME="$WORK/cache"
    chmod 755 "$WORK"
    chmod 1777 "$TMPDIR"
    listen_as_nobody "$TMPDIR/TCorvaneMainWindow-$(id -u)"
    install -d -o nobody -m 700 "$TMPDIR/corvane-$(id -u)"
    listen_as_nobody "$TMPDIR/corvane-$(id -u)/TCorvaneMainWindow"
    start_corvane
    await_tray_icon
    # And the single instance still holds, in a folder of our own.
    "$PROGRAM/Corvane" >"$WORK/second.log" 2>&1 || fail "the second copy ended with code $?"
    [ "$(xdotool search --onlyvisible --name '^Corvane$' | wc -l)" = 1 ] || fail "more than one main window"
    pass "sockets planted by another user do not stop a start"
}

# signal_ends_cleanly <signal> <screenshot>: the program ends as by its menu's
# "退出": exit code 0, the tray icon gone.
signal_ends_cleanly() {
    kill -"$1" "$CORVANE_PID"
    local code
    wait "$CORVANE_PID"
    code=$?
    [ "$code" = 0 ] || fail "SIG$1 ended the program with code $code"
    sleep 0.3
    tray_icon >/dev/null && fail "the tray icon is still there after SIG$1"
    screenshot "$2"
}

case_signal_exit() {
    start_desktop tray
    make_program_folder
    for signal in TERM INT HUP; do
        start_corvane
        await_tray_icon
        signal_ends_cleanly "$signal" "after-sig$signal.png"
    done
    pass "SIGTERM, SIGINT and SIGHUP end the program with 0 and take the tray icon away"
}

case_signal_exit_during_modal() {
    start_desktop tray
    make_program_folder
    # No zel.ini: the error box of the start-up stays open, modal, for real.
    MESSAGE_LOG="" start_corvane
    await_tray_icon
    sleep 1
    signal_ends_cleanly TERM after-sigterm-during-modal.png
    pass "SIGTERM ends the program even while a modal box is open"
}

case_no_tray_host() {
    start_desktop notray
    make_program_folder
    start_corvane
    xdotool windowminimize "$MAIN"
    wait_for 30 eval 'xprop -id "$MAIN" WM_STATE | grep -qi iconic' || fail "the window is not minimised"
    sleep 0.5
    in_taskbar "$MAIN" || fail "without a tray the minimised window lost its taskbar entry"
    screenshot no-tray-minimised.png
    click_centre "$MAIN" 1 2>/dev/null
    xdotool windowactivate --sync "$MAIN" 2>/dev/null
    wait_for 30 viewable "$MAIN" || fail "the window cannot be brought back from the taskbar"
    pass "without a tray host minimising keeps the taskbar entry"
}

# A few customers and this year's calls, for windows that list them.
fill_database() {
    local year
    year=$(date +%Y)
    sqlite3 "$PROGRAM/tel.mdb" <<SQL
INSERT INTO customer (customercode, customername, address, code, person, tel, email, qq) VALUES
  ('K001', '华联超市', '人民路 12 号', '200001', '王经理', '02155510001', 'hualian@example.com', '10001'),
  ('K002', '张记面馆', '北京西路 8 号', '200002', '张师傅', '13900000002', 'zhang@example.com', '10002'),
  ('K003', 'O''Brien & Sons', '5 Quay St', '300003', 'Pat', '13900000003', 'pat@example.com', '10003');
INSERT INTO detail (adate, atime, tel, customercode, customername) VALUES
  ('$year-01-01', '09:12', '02155510001', 'K001', '华联超市'),
  ('$year-01-05', '14:30', '13900000002', 'K002', '张记面馆'),
  ('$year-01-05', '16:45', '13900000003', 'K003', 'O''Brien & Sons');
SQL
}

# A query window: empty when shown, rows after "查询" (which has the focus).
query_window() {
    await_window "$1"
    local w=$WIN
    shoot "$w" "$WORK/empty.png"
    xdotool key space
    shoot_until_changed "$w" "$WORK/empty.png" "$ARTIFACTS/$2" 200 || fail "$1 listed nothing"
}

case_windows() {
    start_desktop tray
    make_program_folder
    fill_database
    # The settings dialog shows the area code kept.
    printf '[line]\r\nareacode=020\r\n' >"$PROGRAM/zel.ini"
    start_corvane
    await_tray_icon

    open_menu_item 1 1
    await_window 设置
    shoot "$WIN" "$ARTIFACTS/desktop-settings.png"
    xdotool key Escape
    open_menu_item 1 2
    await_window 来电铃声设置
    shoot "$WIN" "$ARTIFACTS/desktop-ring.png"
    xdotool key Escape
    open_menu_item 4 1
    await_window 使用说明
    shoot "$WIN" "$ARTIFACTS/desktop-help.png"
    xdotool key Escape

    open_menu_item 2 2
    query_window 客户资料明细查询 desktop-customer-query.png
    # Ctrl+Enter in the code box opens the picker: the one new window.
    local before picker=""
    before=$(xdotool search --onlyvisible --class Corvane)
    xdotool key Tab ctrl+Return
    find_picker() {
        for w in $(xdotool search --onlyvisible --class Corvane); do
            grep -qx "$w" <<<"$before" || { picker=$w; return 0; }
        done
        return 1
    }
    wait_for 30 find_picker || fail "no customer picker"
    [ -z "$(xdotool getwindowname "$picker" | tr -d ' ')" ] || fail "the picker has a caption"
    shoot "$picker" "$ARTIFACTS/desktop-customer-picker.png"
    xdotool key Escape
    sleep 0.3
    xdotool key Escape
    open_menu_item 3 1
    query_window 来电显示明细记录查询 desktop-call-log-query.png
    xdotool key Escape

    # The main window's edit frames: idle, then hot under the mouse (over
    # "客户名称", below the menu bar and the number panel).
    origin_of "$MAIN" M
    xdotool mousemove $((MX + 700)) $((MY + 400))
    shoot "$MAIN" "$ARTIFACTS/desktop-edit-idle.png"
    xdotool mousemove $((MX + 468)) $((MY + 156))
    shoot_until_changed "$MAIN" "$ARTIFACTS/desktop-edit-idle.png" "$ARTIFACTS/desktop-edit-hot.png" 50 \
        || fail "the edit frame under the mouse did not light up"

    # 最近来电 with a call of each kind, newest first: withheld, new, known.
    local today
    today=$(date +%F)
    sqlite3 "$PROGRAM/tel.mdb" "INSERT INTO calls (taken, number, numberkey, customercode, token) VALUES
      ('$today 09:00:00', '02155510001', '02155510001', 'K001', 't1'),
      ('$today 10:00:00', '13812345678', '13812345678', NULL, 't2'),
      ('$today 11:00:00', 'P', '', NULL, 't3')"
    open_menu_item 3 2
    await_window 最近来电
    local recent=$WIN
    origin_of "$recent" R
    # The new number's note (second row, below the filters and the headings):
    # a click makes it current and typing edits it; Return saves it.
    local row=$((RY + 80 + 22 + 24 + 12))
    xdotool mousemove $((RX + 620)) $row click 1
    sleep 0.3
    xdotool type --delay 30 'call back "Li" 3pm'
    xdotool key Return
    saved_note() { [ "$(sqlite3 "$PROGRAM/tel.mdb" "select note from calls where token = 't2'")" = 'call back "Li" 3pm' ]; }
    wait_for 50 saved_note || fail "the note typed was not saved"
    shoot "$recent" "$ARTIFACTS/desktop-recent-calls.png"
    xdotool mousemove $((RX + 60)) $row click --repeat 2 --delay 80 1
    await_window 客户资料输入
    shoot "$WIN" "$ARTIFACTS/desktop-recent-calls-new-number.png"

    # The menu brings the entry form forward now that it is open.
    open_menu_item 2 1
    await_window 客户资料输入
    shoot "$WIN" "$ARTIFACTS/desktop-entry-form.png"
    pass "settings, ring, help, both queries with rows, the picker, 最近来电 with a note and the entry form shown for real"
}

# 来电统计 over this month's calls of every kind, a bar's tooltip, and the
# window counting a call that comes in on the line while it is open.
case_call_statistics() {
    start_desktop tray
    start_modem
    make_program_folder
    fill_database
    printf '[zel]\r\nfather=com1\r\n[ports]\r\ncom1=%s\r\n' "$MODEM_DEVICE" >"$PROGRAM/zel.ini"
    start_corvane
    await_tray_icon
    # The program has given tel.mdb its table of calls by now. Twelve calls a
    # day from the first of the month: known customers, new numbers (one of
    # them O'Brien's before it was saved), withheld.
    sqlite3 "$PROGRAM/tel.mdb" "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n
        WHERE i < 12 * CAST(strftime('%d', 'now', 'localtime') AS INTEGER) - 1)
      INSERT INTO calls (taken, number, numberkey, customercode, handled, token)
      SELECT datetime(date('now', 'localtime', 'start of month'), '+' || (i / 12) || ' days',
                      '+' || (8 + (i * 7 + i / 12) % 12) || ' hours', '+' || (i * 13 % 60) || ' minutes'),
             number, CASE WHEN number IN ('P', 'O') THEN '' ELSE number END, code, i % 3 = 0, 's' || i
      FROM (SELECT i, CASE i % 6 WHEN 0 THEN '02155510001' WHEN 1 THEN '13900000002'
                                 WHEN 2 THEN '13900000003'
                                 WHEN 3 THEN CASE WHEN i % 12 = 3 THEN '13900000003' ELSE '1380000' || (i % 7) END
                                 WHEN 4 THEN 'P' ELSE 'O' END AS number,
                   CASE i % 6 WHEN 0 THEN 'K001' WHEN 1 THEN 'K002' WHEN 2 THEN 'K003' END AS code FROM n)"
    open_menu_item 3 3
    await_window 来电统计
    local stats=$WIN
    shoot "$stats" "$ARTIFACTS/desktop-call-stats.png"
    # Over the day chart's last bars: the tooltip gives the figures.
    origin_of "$stats" S
    xdotool mousemove $((SX + 540)) $((SY + 200))
    sleep 1.5
    screenshot desktop-call-stats-tooltip.png

    # A call from 华联超市 while the window is open.
    xdotool mousemove $((SX + 700)) $((SY + 30))
    shoot "$stats" "$WORK/before-call.png"
    modem "call 02155510001 $(date +%m%d) $(date +%H%M)"
    wait_for 100 eval '[ "$(sqlite3 "$PROGRAM/tel.mdb" "SELECT count(*) FROM calls WHERE token IS NOT NULL AND token NOT LIKE '"'"'s%'"'"'")" = 1 ]' \
        || fail "the call was not written: $(cat "$WORK/messages.log" 2>/dev/null)"
    xdotool windowactivate --sync "$stats" 2>/dev/null
    shoot_until_changed "$stats" "$WORK/before-call.png" "$ARTIFACTS/desktop-call-stats-after-call.png" 200 \
        || fail "来电统计 did not count the new call"
    pass "来电统计 shows this month's calls of every kind, a bar's figures, and counts a call that came in while open"
}

# The program users get, under a system language that is not Chinese: message
# boxes are shown for real whatever the environment says (the tests' log
# variable included), and Qt's own texts, dates and calendars are Chinese.
case_shipped_program() {
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
    start_desktop tray
    make_program_folder "$CORVANE_SHIPPED"
    fill_database
    # No zel.ini: the start-up error box, with its standard button.
    start_corvane
    wait_for 50 find_box || fail "no error box at start-up: the shipped program answered it itself"
    [ -e "$WORK/messages.log" ] && fail "the shipped program wrote the tests' message log"
    shoot "$BOX" "$ARTIFACTS/desktop-start-error-box.png"
    answer_box Return || fail "the error box did not close"

    open_menu_item 3 1
    await_window 来电显示明细记录查询
    local query=$WIN
    shoot "$query" "$ARTIFACTS/desktop-call-log-dates.png"
    # The first date's calendar, opened by its arrow.
    origin_of "$query" Q
    xdotool mousemove $((QX + 120 + 97 - 7)) $((QY + 98)) click 1
    sleep 0.8
    screenshot desktop-call-log-calendar.png
    xdotool key Escape
    sleep 0.3
    xdotool key Escape

    # The delete question of the entry form, answered No.
    open_menu_item 2 1
    await_window 客户资料输入
    origin_of "$WIN" E
    xdotool mousemove $((EX + 155)) $((EY + 22)) click 1
    wait_for 30 find_box || fail "no delete question"
    shoot "$BOX" "$ARTIFACTS/desktop-delete-question.png"
    answer_box Escape || fail "the delete question did not close"
    [ "$(sqlite3 "$PROGRAM/tel.mdb" 'select count(*) from customer')" = 3 ] || fail "No deleted a customer"
    pass "boxes shown for real with Chinese buttons, Chinese dates and calendar under LANG=C.UTF-8"
}

# "保存配置" says what happened: a port outside com1 to com8 is refused, and a
# folder zel.ini cannot be written to keeps the dialog open and the program
# running. Both boxes are shown for real.
case_settings_messages() {
    start_desktop tray
    make_program_folder
    start_modem
    printf '[zel]\r\nfather=com1\r\n[ports]\r\ncom1=%s\r\n' "$MODEM_DEVICE" >"$PROGRAM/zel.ini"
    cp "$PROGRAM/zel.ini" "$WORK/zel.before"
    MESSAGE_LOG="" start_corvane
    open_menu_item 1 1
    await_window 设置
    local settings=$WIN
    save_settings() {
        xdotool windowactivate --sync "$settings" 2>/dev/null
        xdotool key ctrl+a type "$1"
        xdotool key Tab Tab Tab space
        wait_for 30 find_box || fail "no message after saving $1"
        shoot "$BOX" "$ARTIFACTS/$2"
        answer_box Return || fail "the message after saving $1 did not close"
    }
    save_settings com9 desktop-settings-bad-port.png
    # Root ignores permission bits, not the immutable attribute.
    chattr +i "$PROGRAM" 2>/dev/null || chmod a-w "$PROGRAM"
    save_settings com2 desktop-settings-unwritable.png
    chattr -i "$PROGRAM" 2>/dev/null; chmod u+w "$PROGRAM"
    viewable "$settings" || fail "the settings dialog closed"
    kill -0 "$CORVANE_PID" 2>/dev/null || fail "the program ended without saving"
    cmp -s "$PROGRAM/zel.ini" "$WORK/zel.before" || fail "zel.ini changed"
    pass "a bad port and an unwritable zel.ini are told, the dialog and the program stay"
}

# A fresh build's program folder: its zel.ini holds com1 and 制式1. Here com1
# is the fake modem (mapped by a [ports] line, as a USB modem would be), so the
# first start opens the line, sends mode 1's command and shows no box at all.
case_fresh_program_folder() {
    [ -f "$PROGRAM_FOLDER/zel.ini" ] || fail "the build made no zel.ini"
    start_desktop tray
    make_program_folder "$CORVANE_SHIPPED"
    cmake -DINI="$PROGRAM/zel.ini" -P "$SOURCE_DIR/resources/createini.cmake" >/dev/null
    start_modem
    printf '[ports]\r\ncom1=%s\r\n' "$MODEM_DEVICE" >>"$PROGRAM/zel.ini"
    start_corvane
    wait_for 50 eval 'grep -qF "at#cid=1" "$WORK/modem.rec" 2>/dev/null' || fail "mode 1's command never reached the modem"
    sleep 1
    find_box && { shoot "$BOX" "$ARTIFACTS/desktop-first-start-box.png"; fail "a box at the first start"; }
    shoot "$MAIN" "$ARTIFACTS/desktop-first-start.png"
    pass "the build's zel.ini opens com1 in mode 1 with no box"
}

# A call while the program sits in the tray, with a ring that takes its real
# time: during the first ring the window is back and painted with the caller,
# and the customer's earlier calls come under the record.
case_call_from_tray() {
    start_desktop tray
    start_pulse
    start_modem
    make_program_folder
    long_wav 20 "$PROGRAM/ringin1.wav"
    printf '[zel]\r\nfather=com1\r\n[ports]\r\ncom1=%s\r\n' "$MODEM_DEVICE" >"$PROGRAM/zel.ini"
    sqlite3 "$PROGRAM/tel.mdb" "INSERT INTO customer (customercode, customername, address, code, person, tel, email, qq)
        VALUES ('K001', '华联超市', '人民路 12 号', '200001', '王经理', '5551234', 'hualian@example.com', '10001')"
    export CORVANE_WINDOW_LOG=$WORK/window.log
    start_corvane
    await_tray_icon
    # The program has given tel.mdb its table of calls by now.
    local day ago at note
    for day in "-1 day|09:12|要两箱矿泉水，下午送到" "-6 days|16:40|问上次的发票" "-20 days|10:05|"; do
        IFS='|' read -r ago at note <<<"$day"
        sqlite3 "$PROGRAM/tel.mdb" "INSERT INTO calls (taken, number, numberkey, customercode, note)
            VALUES (date('now', 'localtime', '$ago') || ' $at:00', '5551234', '5551234', 'K001', '$note')"
    done
    shoot "$MAIN" "$WORK/before-call.png"
    xdotool windowminimize "$MAIN"
    wait_for 30 eval '! viewable "$MAIN"' || fail "minimising left the window on screen"

    modem "call 5551234 0321 1405"
    wait_for 50 viewable "$MAIN" || fail "the call did not bring the window back"
    wait_for 50 sound_playing || fail "no ring sounds"
    shoot_until_changed "$MAIN" "$WORK/before-call.png" "$ARTIFACTS/call-during-ring.png" 2000 \
        || fail "the window does not show the caller"
    sound_playing || fail "the first ring ended before the window showed the caller"
    [ "$(sqlite3 "$PROGRAM/tel.mdb" "SELECT tel || '|' || customercode FROM detail")" = "5551234|K001" ] \
        || fail "the call was not logged"
    wait_for 50 eval 'grep -F "\"callHistoryLabel\"" "$CORVANE_WINDOW_LOG" | grep -qF "要两箱矿泉水，下午送到"' \
        || fail "the customer's earlier calls are not shown: $(grep -F callHistoryLabel "$CORVANE_WINDOW_LOG")"
    shoot "$MAIN" "$ARTIFACTS/call-with-history.png"

    # A new number next: the known customer's record is not left beside it.
    modem "call 88888888 0321 1406"
    wait_for 100 eval 'grep -qF "此号码为新号码" "$WORK/messages.log" 2>/dev/null' \
        || fail "the new number was not announced"
    shoot_until_changed "$MAIN" "$ARTIFACTS/call-during-ring.png" "$ARTIFACTS/new-number-after-known.png" 2000 \
        || fail "the window does not show the new number"
    wait_for 50 eval 'grep -F "\"callHistoryLabel\"" "$CORVANE_WINDOW_LOG" | tail -1 | grep -qF "此号码第一次来电"' \
        || fail "the new number's first call is not told"
    pass "during the first ring the window is back, painted with the caller's number, record and earlier calls; the next, new number stands alone"
}

# A second start while a modeless window of the program (the ring dialog) was
# the one worked in last, with another program's window now in front: that
# window comes forward, not the main window.
case_activate_last_window() {
    start_desktop tray
    make_program_folder
    start_corvane
    await_tray_icon
    open_menu_item 1 2
    await_window 来电铃声设置
    local ring=$WIN
    wait_for 30 eval '[ "$(xdotool getactivewindow)" = "$ring" ]' || fail "the ring dialog did not become active"
    another_program_in_front
    local other=$OTHER
    "$PROGRAM/Corvane" >"$WORK/second.log" 2>&1 || fail "the second copy ended with code $?"
    wait_for 30 eval '[ "$(xdotool getactivewindow)" = "$ring" ]' \
        || fail "the active window is $(xdotool getactivewindow 2>/dev/null | xargs -r xdotool getwindowname), not the ring dialog"
    screenshot second-start-ring-dialog.png
    pass "a second start brings forward the ring dialog, the window worked in last"
}

# The customer code of every stored customer, one a line.
stored_codes() { sqlite3 "$PROGRAM/tel.mdb" "select customercode from customer order by customercode"; }

# new_number_with_code <code>: "保存新号码" on the main window opens the entry
# form beside it on a new row with the number shown; the code is typed
# there. The form as FORM.
new_number_with_code() {
    origin_of "$MAIN" M
    xdotool mousemove $((MX + 436)) $((MY + 60)) click 1
    await_window 客户资料输入
    FORM=$WIN
    xdotool windowactivate --sync "$FORM" 2>/dev/null
    sleep 0.3
    xdotool type --delay 50 "$1"
    sleep 0.3
}

# A customer typed into the entry form and not saved when the user ends the
# program from the menu: the question is shown for real; 取消 keeps the
# program, 是 saves the row and ends.
case_exit_question() {
    start_desktop tray
    make_program_folder
    printf '[zel]\r\nfather=com1\r\n[ports]\r\ncom1=/nonexistent/ttyCorvane\r\n' >"$PROGRAM/zel.ini"
    MESSAGE_LOG="" start_corvane
    await_tray_icon
    # The start-up box about the missing port, answered.
    wait_for 50 find_box || fail "no box about the port at start-up"
    answer_box Return || fail "the start-up box stayed"
    new_number_with_code K042
    open_menu_item 1 4
    wait_for 50 find_box || fail "no question when ending with an unsaved customer"
    shoot "$BOX" "$ARTIFACTS/desktop-exit-question.png"
    answer_box Escape || fail "the question stayed after Escape"
    sleep 1
    kill -0 "$CORVANE_PID" 2>/dev/null || fail "取消 ended the program"
    [ -z "$(stored_codes)" ] || fail "取消 saved the customer"
    open_menu_item 1 4
    wait_for 50 find_box || fail "no question the second time"
    answer_box Return || fail "the question stayed after Return"
    local code
    wait "$CORVANE_PID"
    code=$?
    [ "$code" = 0 ] || fail "the program ended with code $code"
    [ "$(stored_codes)" = K042 ] || fail "the customer was not saved: '$(stored_codes)'"
    pass "ending with an unsaved customer asks; 取消 stays, 是 saves and ends"
}

# The tray's "退出" ends at once even over the modal entry form; a customer
# typed there is saved first, without a question.
case_tray_exit_saves_entry() {
    start_desktop tray
    make_program_folder
    start_corvane
    await_tray_icon
    open_menu_item 2 1
    await_window 客户资料输入
    DIALOG=$WIN
    origin_of "$DIALOG" F
    # "增加", then the customer code.
    xdotool mousemove $((FX + 33)) $((FY + 22)) click 1
    sleep 0.3
    xdotool type --delay 50 "K077"
    sleep 0.3
    exit_through_tray_menu tray-exit-with-entry.png
    [ "$(stored_codes)" = K077 ] || fail "the customer was not saved: '$(stored_codes)'"
    grep -q '尚未保存' "$WORK/messages.log" 2>/dev/null && fail "the tray's exit asked a question"
    pass "the tray's exit saves the customer being entered and ends"
}

# Two desks on one server: desk A has the modem and runs without a screen of
# its own; desk B, on the screen, hears A's call from an unknown number, and
# the user saves the number there with "保存新号码"; A's next call from it
# shows the customer saved at B.
case_desks_share_a_customer() {
    start_desktop tray
    start_modem
    start_server
    make_program_folder
    mv "$PROGRAM" "$WORK/desk-a"
    local desk_a=$WORK/desk-a
    { printf '[zel]\r\nfather=com1\r\nschool=\xd6\xc6\xca\xbd1\r\n[ports]\r\ncom1=%s\r\n' "$MODEM_DEVICE"; server_ini; } \
        >"$desk_a/zel.ini"
    mkdir -p -m 700 "$WORK/runtime-a"
    XDG_RUNTIME_DIR="$WORK/runtime-a" QT_QPA_PLATFORM=offscreen CORVANE_WINDOW_LOG="$WORK/desk-a.log" \
        CORVANE_MESSAGE_LOG="$WORK/desk-a-messages.log" "$desk_a/Corvane" >"$WORK/desk-a.out" 2>&1 &
    PIDS+=($!)
    wait_for 100 eval 'grep -qF "at#cid=1" "$WORK/modem.rec" 2>/dev/null' || fail "desk A did not set up its line: $(cat "$WORK/desk-a.out" "$WORK/desk-a-messages.log" 2>/dev/null)"

    make_program_folder
    server_ini >"$PROGRAM/zel.ini"
    start_corvane
    await_tray_icon
    sleep 1
    modem "call 5550000 0321 1405"
    wait_for 100 eval 'grep -qF "此号码为新号码" "$WORK/messages.log" 2>/dev/null' \
        || fail "desk B was not told of the new number"
    shoot "$MAIN" "$ARTIFACTS/desk-b-announced-call.png"
    new_number_with_code K088
    origin_of "$FORM" F
    # "保存"
    xdotool mousemove $((FX + 277)) $((FY + 22)) click 1
    wait_for 100 eval '[ "$(server_sql "SELECT customercode || '"'|'"' || tel FROM customer")" = "K088|5550000" ]' \
        || fail "desk B did not save the customer: '$(server_sql "SELECT customercode || '|' || tel FROM customer")'"

    modem "call 5550000 0321 1406"
    wait_for 100 eval 'grep -F customerCodeEdit "$WORK/desk-a.log" | grep -qF "\"text\":\"K088\""' \
        || fail "desk A did not show the customer saved at desk B"
    [ "$(server_sql "SELECT count(*) FROM detail")" = 1 ] || fail "not exactly one call logged"
    # Desk A's only box: the new number of the first call.
    [ "$(grep -c . "$WORK/desk-a-messages.log")" = 1 ] && grep -qF "此号码为新号码" "$WORK/desk-a-messages.log" \
        || fail "desk A was told: $(cat "$WORK/desk-a-messages.log")"
    pass "a number saved at desk B is the customer of desk A's next call from it"
}

# The port test's "此端口正常", shown for real: its box is wide enough for the
# caption beside the frame's icon and buttons. /dev/ptmx stands for a port
# that opens.
case_port_test_box() {
    start_desktop tray
    make_program_folder
    printf '[zel]\r\nfather=com1\r\n[ports]\r\ncom1=/dev/ptmx\r\n' >"$PROGRAM/zel.ini"
    MESSAGE_LOG="" start_corvane
    await_tray_icon
    sleep 0.5
    find_box && fail "a box at start-up: the port did not open"
    open_menu_item 1 1
    await_window 设置
    local dialog=$WIN
    xdotool windowactivate --sync "$dialog" 2>/dev/null
    xdotool type --delay 30 "com1"
    origin_of "$dialog" D
    xdotool mousemove $((DX + 365)) $((DY + 100)) click 1
    wait_for 50 find_box || fail "no box after the port test"
    shoot "$BOX" "$ARTIFACTS/desktop-port-test-box.png"
    local width
    width=$(xwininfo -id "$BOX" | awk '/Width:/ {print $2}')
    [ "$width" -ge 180 ] || fail "the box is only $width pixels wide"
    answer_box Return || fail "the port test's box stayed"
    pass "the port test's box shows its caption whole"
}

# A first start with nothing answering on com1 and a USB modem plugged in
# under its stable name: the modem is offered, 是 (the default) takes it at
# once, the next call is logged and zel.ini keeps the stable name. The
# settings dialog then lists the devices, and "查找调制解调器" finds the modem.
# Devices are looked for in a folder of the test's own, not the system's /dev.
case_modem_by_id() {
    start_desktop tray
    start_modem
    make_program_folder
    export CORVANE_DEVICE_FOLDER="$WORK/dev"
    local by_id="$CORVANE_DEVICE_FOLDER/serial/by-id/usb-Conexant_USB_Modem_12345678-if00"
    mkdir -p "$(dirname "$by_id")"
    ln -s "$MODEM_DEVICE" "$by_id"
    # /dev/ptmx opens, and nothing behind it ever answers.
    printf '[zel]\r\nfather=com1\r\nschool=\xd6\xc6\xca\xbd1\r\n[ports]\r\ncom1=/dev/ptmx\r\n' >"$PROGRAM/zel.ini"
    sqlite3 "$PROGRAM/tel.mdb" "INSERT INTO customer (customercode, customername, tel) VALUES ('K001', '华联超市', '5551234')"
    start_corvane
    await_tray_icon
    wait_for 150 eval 'grep -qF "是否改用它接收来电显示" "$WORK/messages.log" 2>/dev/null' \
        || fail "no modem offered: $(cat "$WORK/messages.log" 2>/dev/null)"
    wait_for 50 eval 'grep -qF "at#cid=1" "$WORK/modem.rec" 2>/dev/null' || fail "the modem offered was not taken"
    grep -qF "com1=$by_id" "$PROGRAM/zel.ini" || fail "zel.ini does not keep the stable name: $(cat "$PROGRAM/zel.ini")"
    sleep 0.5
    modem "call 5551234 0321 1405"
    wait_for 100 eval '[ "$(sqlite3 "$PROGRAM/tel.mdb" "select customercode from detail")" = K001 ]' \
        || fail "the call from the modem taken was not logged"
    [ "$(grep -c . "$WORK/messages.log")" = 1 ] || fail "told more than the offer: $(cat "$WORK/messages.log")"

    open_menu_item 1 1
    await_window 设置
    local dialog=$WIN
    shoot "$dialog" "$ARTIFACTS/desktop-settings-devices.png"
    origin_of "$dialog" D
    # "查找调制解调器", below the list of devices.
    xdotool mousemove $((DX + 70)) $((DY + 424)) click 1
    wait_for 100 eval '[ "$(grep -o ATI "$WORK/modem.rec" | wc -l)" = 2 ]' || fail "查找调制解调器 did not ask the modem"
    sleep 1
    shoot "$dialog" "$ARTIFACTS/desktop-settings-modem-found.png"
    pass "a modem under its stable name is offered, taken at once and found again by the settings dialog"
}

# The call-log query's date picker: its calendar drops down with a frame.
case_calendar() {
    start_desktop tray
    make_program_folder
    start_corvane
    await_tray_icon
    open_menu_item 3 1
    await_window 来电显示明细记录查询
    local w=$WIN
    xdotool windowactivate --sync "$w" 2>/dev/null
    origin_of "$w" Q
    # The first date picker's drop-down button (left 96, top 88 of the panel).
    find_popup() {
        for p in $(xdotool search --onlyvisible --class Corvane); do
            [ "$p" = "$MAIN" ] || [ "$p" = "$w" ] || [ "$p" = "$(tray_icon)" ] || { CALENDAR=$p; return 0; }
        done
        return 1
    }
    local x
    for x in 209 205 213 200; do
        xdotool mousemove $((QX + x)) $((QY + 97)) click 1
        wait_for 10 find_popup && break
    done
    find_popup || fail "no calendar dropped down"
    sleep 0.5
    screenshot desktop-calendar.png
    pass "the date picker's calendar drops down"
}

"case_$1"
