#!/usr/bin/env bash
# The program on desktops beyond jwm's tray, each with real daemons on a
# private session bus: other-desktops.sh <case>. Screenshots go to the
# artifacts.
source "$(dirname "$0")/desktop-lib.sh"

# notify_calls: the Notify calls seen on the bus so far.
notify_calls() { grep -c 'member=Notify$' "$WORK/notify.log" 2>/dev/null; }

# X11 with jwm's tray and dunst: without a notification service a call pops
# up as ever; with dunst it is announced there, its repeat replaces the
# notification, its "显示" makes the main window the active one, a call
# leaves a covered window covered, and coming to the window another way (a
# second start) withdraws the notification; calls while dunst is stopped end
# in one notification, the last call's, withdrawn by the next second start.
case_dunst() {
    start_desktop tray
    start_modem
    make_program_folder
    printf '[zel]\r\nfather=com1\r\n[ports]\r\ncom1=%s\r\n' "$MODEM_DEVICE" >"$PROGRAM/zel.ini"
    add_customer K001 '华联超市' 5551234
    start_session_bus
    dbus-monitor "interface='org.freedesktop.Notifications',member='Notify'" >"$WORK/notify.log" 2>&1 &
    PIDS+=($!)
    start_corvane
    await_tray_icon

    xdotool windowminimize "$MAIN"
    wait_for 30 eval '! viewable "$MAIN"' || fail "minimising left the window on screen"
    modem "call 5551234 0321 1405"
    wait_for 50 viewable "$MAIN" || fail "without a notification service the call did not bring the window back"
    wait_for 50 eval '[ "$(sqlite3 "$PROGRAM/tel.mdb" "SELECT count(*) FROM detail")" = 1 ]' || fail "the call was not logged"
    [ -s "$WORK/messages.log" ] && fail "a box without a notification service: $(cat "$WORK/messages.log")"

    dunst >"$WORK/dunst.log" 2>&1 &
    local dunst=$!
    PIDS+=($dunst)
    wait_for 100 eval 'dunstctl count displayed >/dev/null 2>&1' || fail "dunst did not start"
    xdotool windowminimize "$MAIN"
    wait_for 30 eval '! viewable "$MAIN"' || fail "minimising left the window on screen"
    local before
    before=$(notify_calls)
    modem "call 5551234 0321 1406"
    wait_for 50 eval '[ "$(dunstctl count displayed)" = 1 ]' || fail "no notification shown: $(cat "$WORK/dunst.log")"
    grep -qF 'string "5551234"' "$WORK/notify.log" && grep -qF '华联超市（客户编号 K001）' "$WORK/notify.log" ||
        fail "the notification lacks the number or the customer: $(cat "$WORK/notify.log")"
    screenshot desktop-notification-dunst.png

    # The same report again: one notification still, replaced in place.
    before=$(notify_calls)
    modem "call 5551234 0321 1406"
    wait_for 50 eval '[ "$(notify_calls)" -gt "$before" ]' || fail "the repeat was not announced"
    awk '/member=Notify$/ {n = NR} n && NR == n + 2 {id = $2} END {exit id == 0}' "$WORK/notify.log" ||
        fail "the repeat did not replace the notification"
    sleep 0.5
    [ "$(dunstctl count displayed)" = 1 ] && [ "$(dunstctl count history)" = 0 ] ||
        fail "the repeat added a notification"

    # "显示" with another program's window in front.
    another_program_in_front
    local other=$OTHER
    dunstctl action 0
    wait_for 30 eval '[ "$(xdotool getactivewindow)" = "$MAIN" ]' || fail "the notification's action did not activate the main window"

    # Covered, not away: the window stays where it is.
    xdotool windowactivate --sync "$other" 2>/dev/null
    wait_for 30 eval '[ "$(xdotool getactivewindow)" = "$other" ]' || fail "the other window did not become active"
    modem "call 5551234 0321 1407"
    wait_for 50 eval '[ "$(dunstctl count displayed)" = 1 ]' || fail "the next call was not announced"
    [ "$(xdotool getactivewindow)" = "$other" ] || fail "the call took the focus from the other program"
    "$PROGRAM/Corvane" >"$WORK/second.log" 2>&1 || fail "the second copy ended with code $?"
    wait_for 50 eval '[ "$(dunstctl count displayed)" = 0 ]' || fail "coming to the window did not withdraw the notification"

    # dunst stopped for a while during five calls: once it goes on, one
    # notification, the last call's, no longer urgent after its ring; none
    # once the window came forward, and none coming back later.
    xdotool windowminimize "$MAIN"
    wait_for 30 eval '! viewable "$MAIN"' || fail "minimising left the window on screen"
    kill -STOP "$dunst"
    for minute in 10 11 12 13 14; do
        modem "call 5551234 0321 14$minute"
        sleep 2
    done
    kill -CONT "$dunst"
    sleep 10
    [ "$(dunstctl count displayed)" = 1 ] ||
        fail "$(dunstctl count displayed) notifications open after dunst went on: $(dunstctl history)"
    awk '/member=Notify$/ {n = NR; last = ""; urgency = ""} n && NR == n + 2 {id = $2}
         /来电时间/ {last = $0} /"urgency"/ {getline; urgency = $NF}
         END {exit !(id != 0 && last ~ /14:14/ && urgency == 1)}' "$WORK/notify.log" ||
        fail "the notification left is not the last call's, in place and no longer urgent: $(tail -30 "$WORK/notify.log")"
    xdotool windowactivate --sync "$other" 2>/dev/null
    wait_for 30 eval '[ "$(xdotool getactivewindow)" = "$other" ]' || fail "the other window did not become active"
    "$PROGRAM/Corvane" >"$WORK/second.log" 2>&1 || fail "the second copy ended with code $?"
    wait_for 50 eval '[ "$(dunstctl count displayed)" = 0 ]' || fail "coming to the window did not withdraw the last call's notification"
    sleep 1
    [ "$(dunstctl count displayed)" = 0 ] || fail "a notification came back after the window came forward"
    pass "dunst: announced, replaced by its repeat, shows the window, withdrawn, one left after a stop; the pop as ever without it"
}

# Wayland: sway on its headless backend with mako, all as an ordinary user
# (sway refuses root). Corvane runs natively on a workspace not shown; with no
# tray it says once how calls come. A call is announced; mako's "显示" brings
# the window where the user is, focused; its menu opens there by keyboard,
# then its entry form.
case_sway() {
    local user=nobody home="$WORK/home"
    chmod 755 "$WORK"
    mkdir -p "$home/runtime"
    chmod 700 "$home/runtime"
    start_modem
    chmod 666 "$MODEM_DEVICE"
    # A lock left on this device by root's copy in another test would keep
    # the user's copy from opening it.
    rm -f /var/lock/LCK..*"$(basename "$MODEM_DEVICE")"
    make_program_folder
    printf '[zel]\r\nfather=com1\r\n[ports]\r\ncom1=%s\r\n' "$MODEM_DEVICE" >"$PROGRAM/zel.ini"
    add_customer K001 '华联超市' 5551234
    printf 'xwayland disable\noutput HEADLESS-1 resolution 1024x768\nfocus_on_window_activation focus\n' \
        >"$home/sway.conf"
    chown -R "$user" "$home" "$PROGRAM"
    unset DISPLAY
    start_session_bus "$user"
    # as_user <command>: in the user's session, once sway is up.
    as_user() {
        runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
            DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" \
            WAYLAND_DISPLAY="$(basename "$(ls "$home"/runtime/wayland-? 2>/dev/null | head -1)")" \
            SWAYSOCK="$(ls "$home"/runtime/sway-ipc.*.sock 2>/dev/null | head -1)" "$@"
    }
    runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
        WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$home/sway.conf" \
        >"$WORK/sway.log" 2>&1 &
    PIDS+=($!)
    wait_for 100 eval 'ls "$home"/runtime/wayland-? && as_user swaymsg -t get_version' >/dev/null 2>&1 ||
        fail "sway did not start: $(cat "$WORK/sway.log")"
    as_user mako >"$WORK/mako.log" 2>&1 &
    PIDS+=($!)
    wait_for 100 eval 'as_user makoctl list >/dev/null 2>&1' || fail "mako did not start: $(cat "$WORK/mako.log")"

    tree() { as_user swaymsg -t get_tree; }
    # corvane_window [focused]: the main window's node in sway's tree.
    corvane_window() {
        tree | jq -e --arg f "${1:-}" '.. | objects | select(.type? == "con" and .name == "Corvane")
            | select($f == "" or .focused)' >/dev/null
    }
    grim_shot() { as_user grim "$home/$1" && cp "$home/$1" "$ARTIFACTS/$1" || fail "no screenshot $1"; }
    shown_workspace() { as_user swaymsg -t get_workspaces | jq -r '.[] | select(.focused) | .name'; }
    as_user swaymsg workspace 2 >/dev/null
    as_user QT_QPA_PLATFORM=wayland CORVANE_MESSAGE_LOG="$PROGRAM/messages.log" "$PROGRAM/Corvane" \
        >"$WORK/corvane.log" 2>&1 &
    CORVANE_PID=$!
    PIDS+=($CORVANE_PID)
    wait_for 200 corvane_window || fail "no Corvane window under sway: $(cat "$WORK/corvane.log")"
    wait_for 50 eval 'grep -qF "托盘区" "$PROGRAM/messages.log" 2>/dev/null' || fail "no word that calls come as notifications"
    grep -qi '^notraytold=1' "$PROGRAM/zel.ini" || fail "that it was said is not kept"
    as_user swaymsg workspace 1 >/dev/null
    [ "$(shown_workspace)" = 1 ] || fail "workspace 1 is not shown"

    modem "call 5551234 0321 1405"
    wait_for 50 eval 'as_user makoctl list | grep -qF 5551234' ||
        fail "no notification of the call: $(as_user makoctl list)"
    as_user makoctl list | grep -qF '华联超市' || fail "the notification does not name the customer"
    grim_shot wayland-notification.png
    as_user makoctl invoke
    wait_for 50 corvane_window focused || fail "显示 did not focus the window: $(tree | jq -c '.. | objects | select(.name? == "Corvane") | {focused, visible}')"
    tree | jq -e '.. | objects | select(.type? == "workspace" and .name == "1") | .. | objects | select(.name? == "Corvane")' >/dev/null ||
        fail "the window is not on the workspace shown"
    sleep 0.5
    grim_shot wayland-call-pop.png

    # By keyboard, as there is no pointer: Alt then Down drops "[文件]" down,
    # two Escapes close it, then "保存新号码" opens the entry form beside the
    # window. One wtype for all: the compositor closes a menu when the
    # keyboard that opened it goes away, and each new keyboard needs a pause
    # for the window to take its keymap.
    local x y
    read -r x y < <(tree | jq -r '.. | objects | select(.type? == "con" and .name == "Corvane")
        | "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y)"')
    # Below "[文件]" on the menu bar the open menu differs from the pop in
    # most pixels.
    local below="[120x100+$x+$((y + 28))]"
    menu_dropped() {
        as_user grim "$home/wayland-menu.png" && [ "$(compare -metric AE -fuzz 5% \
            "$home/wayland-call-pop.png$below" "$home/wayland-menu.png$below" null: 2>&1)" -gt 4000 ]
    }
    as_user wtype -s 500 -k Alt_L -s 200 -k Down -s 1200 -k Escape -s 100 -k Escape -s 300 -k Tab -s 300 -k space &
    local typing=$!
    wait_for 15 menu_dropped || fail "Alt and Down did not drop the menu down"
    cp "$home/wayland-menu.png" "$ARTIFACTS/" || fail "no screenshot wayland-menu.png"
    wait "$typing"
    wait_for 50 eval 'tree | jq -e ".. | objects | select(.name? == \"客户资料输入\")" >/dev/null' ||
        { grim_shot wayland-no-entry-form.png; fail "no entry form under sway"; }
    sleep 0.5
    grim_shot wayland-entry-form.png
    pass "sway: native window, told once, call announced by mako, 显示 focuses it where the user is, its menu, entry form"
}

# X11 with xfce4-panel's status tray, a StatusNotifierItem host: Qt docks
# the icon there rather than into an XEmbed tray; minimised the window waits
# behind it; its menu's "显示窗体" brings the window back and "退出" ends the
# program.
case_sni_tray() {
    start_desktop notray
    make_program_folder
    start_session_bus
    export XDG_CONFIG_HOME="$WORK/config"
    mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
    cp "$HERE/xfce4-panel.xml" "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/"
    /usr/lib/*/xfce4/xfconf/xfconfd >"$WORK/xfconfd.log" 2>&1 &
    PIDS+=($!)
    xfce4-panel >"$WORK/panel.log" 2>&1 &
    PIDS+=($!)
    registered() {
        dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
            org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher string:"$1" 2>/dev/null
    }
    wait_for 200 eval 'registered IsStatusNotifierHostRegistered | grep -q "boolean true"' ||
        fail "no StatusNotifierItem host: $(cat "$WORK/panel.log")"
    start_corvane
    wait_for 100 eval 'registered RegisteredStatusNotifierItems | grep -q "string \":"' ||
        fail "the icon is not registered with the tray"
    local panel
    panel=$(xdotool search --class xfce4-panel 2>/dev/null | while read -r w; do viewable "$w" && echo "$w"; done | head -1)
    [ -n "$panel" ] || fail "no panel on the screen"
    eval "$(xdotool getwindowgeometry --shell "$panel")"
    local iconX=$((X + 18)) iconY=$((Y + HEIGHT / 2))
    sleep 0.5
    screenshot desktop-sni-tray.png

    xdotool windowminimize "$MAIN"
    wait_for 30 eval '! viewable "$MAIN"' || fail "minimising left the window on screen"
    # tray_menu_item <1|2>: the icon's menu, which the host draws, opened by
    # a right click, and its item chosen; MENU is the menu's window, known by
    # its type: the root window, which a search lists only now and then, once
    # passed for a window the click had opened.
    tray_menu_item() {
        MENU=""
        xdotool mousemove "$iconX" "$iconY" click 3
        find_menu() {
            for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
                xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q '_NET_WM_WINDOW_TYPE_POPUP_MENU' || continue
                eval "$(xdotool getwindowgeometry --shell "$w")"
                [ "$HEIGHT" -gt 30 ] && { MENU=$w; return 0; }
            done
            return 1
        }
        wait_for 30 find_menu || fail "no menu after a right click on the icon"
        eval "$(xdotool getwindowgeometry --shell "$MENU")"
        [ "$1" = 1 ] && screenshot desktop-sni-tray-menu.png
        xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * (2 * $1 - 1) / 4))
        sleep 0.3
        xdotool click 1
    }
    tray_menu_item 1
    wait_for 30 viewable "$MAIN" || fail "显示窗体 did not bring the window back"
    tray_menu_item 2
    local code
    wait "$CORVANE_PID"
    code=$?
    [ "$code" = 0 ] || fail "the program ended with code $code"
    pass "StatusNotifierItem tray: the icon is there, 显示窗体 brings the window back, 退出 ends the program"
}

"case_$1"
