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

# A test may set FAILURE_REPORT to a function that prints what explains a
# failure (the program's own logs) before the test ends.
FAILURE_REPORT=true
fail() { echo "FAIL: $*" >&2; "$FAILURE_REPORT" >&2; exit 1; }
pass() { echo "PASS: $*"; }

# start_desktop tray|notray
start_desktop() {
    exec 5> "$WORK/display"
    # -noreset: a server resets when its last client leaves and refuses new
    # ones meanwhile. On a loaded machine the probe for the window manager
    # below can be that client before jwm has connected, and jwm then found
    # no display.
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
    PIDS+=($!)
    wait_for 100 test -s "$WORK/display" || fail "the X server did not start"
    export DISPLAY=":$(head -1 "$WORK/display")"
    # Nothing of the caller's own desktop: its tray on the session bus, another
    # display server, a scale that would move what the tests click.
    unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY QT_SCALE_FACTOR
    export QT_QPA_PLATFORM=xcb
    jwm -f "$HERE/jwmrc-$1.xml" >"$WORK/jwm.log" 2>&1 &
    PIDS+=($!)
    wait_for 100 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window' \
        || fail "the window manager did not start"
    # The single-instance socket lives in the runtime folder: a private one
    # keeps a copy started by another run from answering ours.
    export XDG_RUNTIME_DIR="$WORK/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    export TMPDIR="$WORK/tmp"
    mkdir -p "$TMPDIR"
}

# A program folder of the test's own: the executable (the tests' build, or the
# one named), a fresh tel.mdb, no zel.ini.
make_program_folder() {
    PROGRAM="$WORK/bin"
    mkdir -p "$PROGRAM"
    cp "${1:-$CORVANE}" "$PROGRAM/Corvane"
    sqlite3 "$PROGRAM/tel.mdb" < "$SOURCE_DIR/resources/tel.sql" >/dev/null
}

# The tests' build answers and logs message boxes unless MESSAGE_LOG is set
# empty, when they are shown for real; the program users get always shows them.
# launch_corvane [options...] starts it as CORVANE_PID; start_corvane waits
# for its main window too, as MAIN.
launch_corvane() {
    local log=${MESSAGE_LOG-$WORK/messages.log}
    if [ -n "$log" ]; then
        CORVANE_MESSAGE_LOG="$log" "$PROGRAM/Corvane" "$@" >"$WORK/corvane.log" 2>&1 &
    else
        "$PROGRAM/Corvane" "$@" >"$WORK/corvane.log" 2>&1 &
    fi
    CORVANE_PID=$!
    PIDS+=($CORVANE_PID)
}

start_corvane() {
    launch_corvane
    await_main_window
}

# await_main_window: the program's main window as MAIN. A start-up box has the
# same title and may be on the screen first; it is transient for the window.
await_main_window() {
    for _ in $(seq 1000); do
        for w in $(xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null); do
            icon_sized "$w" && continue
            xprop -id "$w" WM_TRANSIENT_FOR 2>/dev/null | grep -q 'window id' && continue
            MAIN=$w
            return 0
        done
        sleep 0.01
    done
    fail "no main window"
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

# A shown window titled Corvane other than the main window and the tray icon
# (titled Corvane too, and docked at any moment): a message box, as BOX; call
# through wait_for.
find_box() {
    BOX=""
    for w in $(xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null); do
        [ "$w" != "$MAIN" ] && ! icon_sized "$w" && { BOX=$w; return 0; }
    done
    return 1
}

# answer_box <key>: the key pressed in BOX until it closes. The window manager
# may hand a new box the keyboard focus a moment late, when a key pressed at
# once goes to the window below.
answer_box() {
    for _ in 1 2 3 4 5; do
        xdotool windowactivate --sync "$BOX" 2>/dev/null
        xdotool key "$1"
        wait_for 10 eval '! find_box' && return 0
    done
    return 1
}

# another_program_in_front: a window of another program, made the active one,
# as OTHER.
another_program_in_front() {
    xmessage -geometry 500x400+250+150 "another program" &
    PIDS+=($!)
    await_window xmessage
    OTHER=$WIN
    xdotool windowactivate --sync "$OTHER" 2>/dev/null
    wait_for 30 eval '[ "$(xdotool getactivewindow)" = "$OTHER" ]' || fail "the other window did not become active"
}

viewable() { xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable"; }
in_taskbar() { xprop -root _NET_CLIENT_LIST | grep -qiwF "$(printf '0x%x' "$1")"; }

# No message box is this small; a tray icon is never larger.
icon_sized() {
    local geo
    geo=$(xdotool getwindowgeometry "$1" 2>/dev/null | awk '/Geometry/ {print $2}')
    [ -n "$geo" ] && [ "${geo%x*}" -le 64 ] && [ "${geo#*x}" -le 64 ]
}

# The tray icon: the program's other window docked into the tray.
tray_icon() {
    for w in $(xdotool search --class Corvane 2>/dev/null); do
        [ "$w" = "$MAIN" ] && continue
        viewable "$w" && icon_sized "$w" && { echo "$w"; return 0; }
    done
    return 1
}

wait_for() {
    local tries=$1; shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}

# The tray icon docked. Generous: docking waits on the tray's own start, which
# a loaded machine slows down.
await_tray_icon() {
    wait_for 200 tray_icon || fail "no tray icon docked"
}

click_centre() {
    local w=$1 button=$2 repeat=${3:-1}
    eval "$(xdotool getwindowgeometry --shell "$w")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    sleep 0.2
    xdotool click --repeat "$repeat" --delay 80 "$button"
}

screenshot() { import -window root "$ARTIFACTS/$1"; }

# Opens item <n> (1 = first) of menu <m> (1 = "[文件]") of the main menu by
# keyboard, the way a user without a mouse would.
open_menu_item() {
    local menu=$1 item=$2
    xdotool windowactivate --sync "$MAIN" 2>/dev/null
    origin_of "$MAIN" M
    xdotool mousemove $((MX + 25)) $((MY + 10)) click 1
    sleep 0.3
    xdotool mousemove $((MX + 25)) $((MY + 300))
    local i
    for ((i = 1; i < menu; i++)); do xdotool key Right; sleep 0.1; done
    # Opened by mouse no item is active; moved to by keyboard the first is.
    [ "$menu" = 1 ] && xdotool key Down
    for ((i = 1; i < item; i++)); do xdotool key Down; sleep 0.05; done
    xdotool key Return
}

# The screen image of window <id>, with its frame, into file <path>.
shoot() { sleep 0.5; import -frame -window "$1" "$2" || fail "no screenshot $2"; }

# shoot_until_changed <window> <before> <after> <pixels>: screenshots of the
# window into <after> until it differs from <before> in more than <pixels>.
shoot_until_changed() {
    changed() {
        shoot "$1" "$3"
        [ "$(compare -metric AE "$2" "$3" null: 2>&1 | cut -d' ' -f1)" -gt "$4" ]
    }
    wait_for 10 changed "$@"
}

# A private PulseAudio whose only sink is a pipe clocked by the system clock,
# with ALSA's "default" device routed to it: a ring then takes its real time.
# PULSE_SERVER names it for pactl.
start_pulse() {
    local dir="$WORK/pulse"
    mkdir -p "$dir/run" "$dir/config" "$dir/state"
    mkfifo "$dir/sink.fifo"
    # The reader keeps the sink flowing, as a sound card would.
    cat "$dir/sink.fifo" >/dev/null &
    PIDS+=($!)
    HOME="$dir" XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/run" PULSE_RUNTIME_PATH="$dir/run" \
        PULSE_STATE_PATH="$dir/state" pulseaudio --daemonize=no -n --exit-idle-time=-1 --disallow-exit \
        --use-pid-file=no --system=false --realtime=no --high-priority=no --log-target=stderr \
        -L "module-pipe-sink sink_name=fifo use_system_clock_for_timing=yes file=$dir/sink.fifo format=s16le rate=22050 channels=1" \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/native" >"$WORK/pulse.log" 2>&1 &
    PIDS+=($!)
    wait_for 100 test -S "$dir/native" || fail "PulseAudio did not start"
    local device="{ type pulse; server \"unix:$dir/native\" }"
    printf 'pcm.!default %s\nctl.!default %s\n' "$device" "$device" >"$dir/asound.conf"
    printf 'autospawn = no\n' >"$dir/client.conf"
    export ALSA_CONFIG_PATH="$dir/asound.conf" PULSE_CLIENTCONFIG="$dir/client.conf"
    export PULSE_SERVER="unix:$dir/native"
}

# A sound is playing on the private PulseAudio.
sound_playing() { [ -n "$(pactl list short sink-inputs 2>/dev/null)" ]; }

# long_wav <seconds> <file>: a 16-bit mono 22.05 kHz WAV of noise.
long_wav() {
    local bytes=$(($1 * 22050 * 2))
    le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
    {
        printf 'RIFF'; le32 $((36 + bytes)); printf 'WAVEfmt '; le32 16
        printf '\x01\x00\x01\x00'; le32 22050; le32 44100; printf '\x02\x00\x10\x00'
        printf 'data'; le32 "$bytes"
        head -c "$bytes" /dev/urandom
    } >"$2"
}

# as_server <command...>: runs a PostgreSQL tool as the postgres user.
as_server() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

# start_server: a private PostgreSQL server on a socket folder of its own,
# with an empty database "corvane", stopped when the script ends.
# server_ini prints the [database] section of a desk that works on it;
# server_sql <statements> runs them there and prints the rows.
start_server() {
    local bin=/usr/lib/postgresql/15/bin
    SERVER=$(mktemp -d /tmp/corvane-server.XXXXXX)
    chmod 755 "$SERVER"
    mkdir -p "$SERVER/data" "$SERVER/socket"
    [ "$(id -u)" -eq 0 ] && chown postgres "$SERVER/data" "$SERVER/socket"
    as_server "$bin/initdb" -D "$SERVER/data" -A trust --no-sync >/dev/null || fail "initdb failed"
    as_server "$bin/pg_ctl" -D "$SERVER/data" -l "$SERVER/data/server.log" -w \
        -o "-k $SERVER/socket -c listen_addresses= -p 5439" start >/dev/null || fail "the server did not start"
    trap "as_server $bin/pg_ctl -D $SERVER/data -m immediate stop >/dev/null; rm -rf $SERVER; cleanup" EXIT
    as_server "$bin/createdb" -h "$SERVER/socket" -p 5439 corvane || fail "createdb failed"
}

server_ini() {
    printf '[database]\r\nengine=postgresql\r\nhost=%s\r\nport=5439\r\nname=corvane\r\nuser=postgres\r\n' \
        "$SERVER/socket"
}

server_sql() { as_server psql -qAt -h "$SERVER/socket" -p 5439 -d corvane -c "$1"; }

# start_modem: the fake caller-ID modem as a co-process, recording what it
# receives in modem.rec; its device as MODEM_DEVICE.
start_modem() {
    coproc MODEM { exec "$MODEMSIM" --record "$WORK/modem.rec"; }
    PIDS+=($MODEM_PID)
    read -r MODEM_DEVICE <&"${MODEM[0]}" || fail "the fake modem did not start"
}

# modem <command>: sends one command and waits until the modem has written it.
modem() {
    echo "$1" >&"${MODEM[1]}"
    local answer
    while read -r -t 30 answer <&"${MODEM[0]}"; do
        [ "$answer" = done ] && return 0
        [[ "$answer" = error* ]] && fail "the modem refused: $1"
    done
    fail "the modem did not answer: $1"
}

# start_session_bus [user]: a private session bus on which nothing starts on
# demand, run by the user named (by default the caller), as
# DBUS_SESSION_BUS_ADDRESS. Only that user may connect to it.
start_session_bus() {
    local as=()
    [ -n "${1:-}" ] && as=(runuser -u "$1" --)
    "${as[@]}" dbus-daemon --config-file="$SOURCE_DIR/tests/support/session-bus.conf" --nofork \
        --print-address=1 >"$WORK/bus.address" 2>"$WORK/bus.log" &
    PIDS+=($!)
    wait_for 100 test -s "$WORK/bus.address" || fail "the session bus did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -1 "$WORK/bus.address")
    export DBUS_SESSION_BUS_ADDRESS
}

# add_customer <code> <name> <tel>: one customer in the program folder's tel.mdb.
add_customer() {
    sqlite3 "$PROGRAM/tel.mdb" "INSERT INTO customer (customercode, customername, tel) VALUES ('$1', '$2', '$3')"
}
