# Shared pieces of the desktop tests: a private X server with the jwm window
# manager (taskbar, and an XEmbed tray unless asked otherwise), a program folder
# of our own, and helpers to look at windows the way a user would.

set -u
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ARTIFACTS=${CORVANE_TEST_ARTIFACTS:-/tmp/corvane-artifacts}
mkdir -p "$ARTIFACTS"
WORK=$(mktemp -d)
PIDS=()

cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "PASS: $*"; }

# start_desktop tray|notray
start_desktop() {
    exec 5> "$WORK/display"
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    PIDS+=($!)
    for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.05; done
    export DISPLAY=":$(head -1 "$WORK/display")"
    # Nothing of the caller's own desktop: its tray on the session bus, another
    # display server, a scale that would move what the tests click.
    unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY QT_SCALE_FACTOR
    export QT_QPA_PLATFORM=xcb
    jwm -f "$HERE/jwmrc-$1.xml" >"$WORK/jwm.log" 2>&1 &
    PIDS+=($!)
    for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.05; done
    # The single-instance socket lives in the runtime folder: a private one
    # keeps a copy started by another run from answering ours.
    export XDG_RUNTIME_DIR="$WORK/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    export TMPDIR="$WORK/tmp"
    mkdir -p "$TMPDIR"
}

# A program folder of the test's own: the executable, a fresh tel.mdb, no zel.ini.
make_program_folder() {
    PROGRAM="$WORK/bin"
    mkdir -p "$PROGRAM"
    cp "$CORVANE" "$PROGRAM/Corvane"
    sqlite3 "$PROGRAM/tel.mdb" < "$SOURCE_DIR/resources/tel.sql"
}

# Message boxes are answered and logged unless MESSAGE_LOG is set empty, when
# they are shown for real.
start_corvane() {
    local log=${MESSAGE_LOG-$WORK/messages.log}
    if [ -n "$log" ]; then
        CORVANE_MESSAGE_LOG="$log" "$PROGRAM/Corvane" >"$WORK/corvane.log" 2>&1 &
    else
        "$PROGRAM/Corvane" >"$WORK/corvane.log" 2>&1 &
    fi
    CORVANE_PID=$!
    PIDS+=($CORVANE_PID)
    await_window Corvane
    MAIN=$WIN
}

# await_window <title>: the shown window of that title, waited for, as WIN.
await_window() {
    WIN=""
    for _ in $(seq 1000); do
        WIN=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$WIN" ] && return 0
        sleep 0.01
    done
    fail "no window titled $1"
}

# origin_of <window> <prefix>: the top-left corner of the window's inside on
# the screen, as <prefix>X and <prefix>Y.
origin_of() {
    eval "$(xwininfo -id "$1" | awk -v p="$2" '/Absolute upper-left X/ {print p "X=" $4} /Absolute upper-left Y/ {print p "Y=" $4}')"
}

viewable() { xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable"; }
in_taskbar() { xprop -root _NET_CLIENT_LIST | grep -qiwF "$(printf '0x%x' "$1")"; }

# The tray icon: the program's other window docked into the tray.
tray_icon() {
    for w in $(xdotool search --class Corvane 2>/dev/null); do
        [ "$w" = "$MAIN" ] && continue
        viewable "$w" || continue
        local geo
        geo=$(xdotool getwindowgeometry "$w" | awk '/Geometry/ {print $2}')
        [ "${geo%x*}" -le 64 ] && [ "${geo#*x}" -le 64 ] && { echo "$w"; return 0; }
    done
    return 1
}

wait_for() {
    local tries=$1; shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}

click_centre() {
    local w=$1 button=$2 repeat=${3:-1}
    eval "$(xdotool getwindowgeometry --shell "$w")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    sleep 0.2
    xdotool click --repeat "$repeat" --delay 80 "$button"
}

screenshot() { import -window root "$ARTIFACTS/$1"; }
