#!/usr/bin/env bash
# The package on a fresh Debian 12: a minimal bookworm made with debootstrap
# from the mirror apt uses here, the package installed into it alone with
# apt-get, then, as an ordinary user under a private X server, `corvane` shows
# its main window and makes a working tel.mdb in ~/.local/share/corvane,
# `corvane --tray` sets up the line (on the fake modem) with no window shown
# and keeps running, and nothing new appears under /usr. Needs root.
# fresh-system.sh <corvane_*.deb, or a build folder to make it from> <modemsim>
set -u
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
DEB=$(realpath "$1")
MODEMSIM=$2
[ "$(id -u)" = 0 ] || { echo "SKIP: needs root"; exit 77; }
for tool in debootstrap Xvfb jwm xdotool xwininfo sqlite3 import; do
    command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }
done
ARTIFACTS=${CORVANE_TEST_ARTIFACTS:-/tmp/corvane-artifacts}
mkdir -p "$ARTIFACTS"
WORK=$(mktemp -d /var/tmp/corvane-fresh.XXXXXX)
ROOT="$WORK/root"
MOUNTS=()
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    for ((i = ${#MOUNTS[@]} - 1; i >= 0; i--)); do umount -l "${MOUNTS[i]}" 2>/dev/null; done
    rm -rf --one-file-system "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
START=$(date +%s)
phase() { echo "[$(($(date +%s) - START)) s] $*"; }
wait_for() {
    local tries=$1; shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}

if [ -d "$DEB" ]; then
    cpack --config "$DEB/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 || fail "cpack failed"
    DEB=$(ls "$WORK"/out/corvane_*.deb)
fi

# The mirror apt uses on this machine.
MIRROR=$(grep -hoE '^(URIs:|deb) +https?://[^ ]+' /etc/apt/sources.list /etc/apt/sources.list.d/* 2>/dev/null |
    awk '{print $2}' | grep -v security | head -1)
MIRROR=${MIRROR:-http://deb.debian.org/debian}
phase "debootstrap bookworm from $MIRROR"
debootstrap --variant=minbase bookworm "$ROOT" "$MIRROR" >"$WORK/debootstrap.log" 2>&1 || {
    tail -20 "$WORK/debootstrap.log"
    fail "debootstrap failed"
}
mount -t proc proc "$ROOT/proc" && MOUNTS+=("$ROOT/proc") || fail "cannot mount /proc"
for d in /dev /dev/pts; do
    mount --bind "$d" "$ROOT$d" && MOUNTS+=("$ROOT$d") || fail "cannot mount $d"
done
# The X server runs outside; its socket folder is shared with the chroot.
mkdir -p /tmp/.X11-unix "$ROOT/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$ROOT/tmp/.X11-unix" && MOUNTS+=("$ROOT/tmp/.X11-unix") || fail "cannot share the X socket"
in_root() { chroot "$ROOT" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

phase "apt-get install ./$(basename "$DEB")"
cp "$DEB" "$ROOT/tmp/"
in_root apt-get update >"$WORK/apt.log" 2>&1 &&
    in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "/tmp/$(basename "$DEB")" >>"$WORK/apt.log" 2>&1 || {
    tail -30 "$WORK/apt.log"
    fail "the package did not install alone"
}
grep -E '^(Get|Setting up)' "$WORK/apt.log" | grep -c 'Setting up' | sed 's/^/packages set up: /'
in_root useradd -m shop || fail "cannot add a user"
in_root find /usr -xdev | sort >"$WORK/usr-before"

phase "corvane as an ordinary user"
exec 5>"$WORK/display"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
PIDS+=($!)
wait_for 100 test -s "$WORK/display" || fail "the X server did not start"
export DISPLAY=":$(head -1 "$WORK/display")"
# A desktop with a taskbar and a tray, as at a login.
jwm -f "$HERE/../desktop/jwmrc-tray.xml" >"$WORK/jwm.log" 2>&1 &
PIDS+=($!)
wait_for 100 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window' || fail "jwm did not start"
# As the user, with the session's environment and nothing of root's; run in
# the background the program's process id is $!.
AS_USER=(chroot --userspec=shop:shop "$ROOT" env -i PATH=/usr/bin:/bin HOME=/home/shop USER=shop LANG=C.UTF-8
    DISPLAY="$DISPLAY")
# The program's shown windows bigger than a tray icon: the main window, boxes.
shown_windows() {
    for w in $(xdotool search --onlyvisible --class corvane 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$WIDTH" -gt 64 ] && echo "$w"
    done
}
main_window() { xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | head -1; }

"${AS_USER[@]}" corvane >"$WORK/corvane.log" 2>&1 &
PID=$!
PIDS+=($PID)
wait_for 300 eval '[ -n "$(main_window)" ]' || { cat "$WORK/corvane.log"; fail "no main window"; }
sleep 1
import -window root "$ARTIFACTS/fresh-system-main-window.png"
DATA="$ROOT/home/shop/.local/share/corvane"
[ "$(stat -c %u "$DATA/tel.mdb" 2>/dev/null)" = "$(in_root id -u shop)" ] ||
    fail "no tel.mdb of the user's in ~/.local/share/corvane"
"${AS_USER[@]}" sh -c 'test -w ~/.local/share/corvane/tel.mdb' || fail "the user cannot write tel.mdb"
sqlite3 "$DATA/tel.mdb" "INSERT INTO customer (customercode, customername) VALUES ('K001', '华联超市')" &&
    [ "$(sqlite3 "$DATA/tel.mdb" "SELECT customername FROM customer WHERE customercode = 'K001'")" = 华联超市 ] ||
    fail "tel.mdb does not take a customer"
for f in zel.ini ringin1.wav ringin2.wav ringin3.wav; do [ -s "$DATA/$f" ] || fail "$f not set up"; done
kill "$PID"
wait "$PID" 2>/dev/null

phase "corvane --tray"
# A modem the user may open, so that the start in the tray has a line to set up.
coproc MODEM { exec "$MODEMSIM" --record "$WORK/modem.rec"; }
PIDS+=($MODEM_PID)
read -r MODEM_DEVICE <&"${MODEM[0]}" || fail "the fake modem did not start"
chmod 666 "$MODEM_DEVICE"
printf '[ports]\r\ncom1=%s\r\n' "$MODEM_DEVICE" >>"$DATA/zel.ini"
"${AS_USER[@]}" corvane --tray >"$WORK/tray.log" 2>&1 &
PID=$!
PIDS+=($PID)
wait_for 300 eval 'grep -qF "at#cid=1" "$WORK/modem.rec" 2>/dev/null' || {
    cat "$WORK/tray.log"
    import -window root "$ARTIFACTS/fresh-system-tray-failed.png"
    for w in $(shown_windows); do xdotool getwindowname "$w"; done
    fail "the line was not set up"
}
sleep 3
kill -0 "$PID" 2>/dev/null || { cat "$WORK/tray.log"; fail "corvane --tray ended"; }
import -window root "$ARTIFACTS/fresh-system-tray.png"
[ -z "$(shown_windows)" ] || fail "corvane --tray showed a window"
kill "$PID"
wait "$PID" 2>/dev/null

in_root find /usr -xdev | sort >"$WORK/usr-after"
diff "$WORK/usr-before" "$WORK/usr-after" || fail "files appeared under /usr"
phase "PASS: installed alone, window and data folder, tray start, nothing under /usr"
