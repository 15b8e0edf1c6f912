#!/usr/bin/env bash
# The Windows program under Wine on a real X server: COM1 is the fake modem's
# pseudo-terminal, set in the private prefix's HKLM\Software\Wine\Ports. A
# known customer's call brings the window with the record and leaves its rows;
# a second start brings the first copy forward. Screenshots go to the artifacts.
#   call-under-wine.sh <Corvane.exe> <program folder> <dependency cache> <modemsim>
EXE=$1 BUILT_FOLDER=$2 DEPS=$3 MODEMSIM=$4
source "$(dirname "$0")/wine-lib.sh"
start_wine_desktop

PROGRAM="$WORK/bin"
mkdir -p "$PROGRAM"
cp "$EXE" "$PROGRAM/Corvane.exe"
cp "$BUILT_FOLDER"/tel.sql "$BUILT_FOLDER"/zel.ini "$BUILT_FOLDER"/ringin*.wav "$PROGRAM/"
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
screenshot windows-call-desktop.png

# A second start brings the first copy forward and ends.
xdotool windowminimize "$MAIN"
sleep 1
(cd "$PROGRAM" && timeout 60 "$WINE_RUN" "$DEPS" "$PREFIX" "$PROGRAM/Corvane.exe") ||
    fail "the second start did not end by itself"
wait_for 100 viewable "$MAIN" || fail "a second start did not bring the window forward"

# SQLite's locks under Wine are not seen from Linux: the rows are read once
# the program has ended. Each row was synced as it was written.
end_wine
wait "$FIRST"
calls=$(sqlite3 "$PROGRAM/tel.mdb" "SELECT count(*) FROM calls WHERE customercode = 'A001'")
logged=$(sqlite3 "$PROGRAM/tel.mdb" "SELECT count(*) FROM detail WHERE customercode = 'A001'")
[ "$calls" = 1 ] && [ "$logged" = 1 ] || fail "rows after the call: calls $calls, call log $logged"
pass "a call on COM1 under Wine pops the window and is logged once"
