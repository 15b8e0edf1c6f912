#!/usr/bin/env bash
# Headless demonstration: Corvane under a private X server with a tray, the fake
# modem on a pseudo-terminal, one call from a known customer and one from a new
# number, a screenshot of each screen pop. Run after building (./setup.sh).
#   tools/demo/demo.sh [output folder]     (default: demo-shots)
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build}
export CORVANE="$BUILD/bin/Corvane" SOURCE_DIR="$ROOT"
export CORVANE_TEST_ARTIFACTS=$(realpath -m "${1:-$ROOT/demo-shots}")
source "$ROOT/tests/desktop/desktop-lib.sh"

start_desktop tray
make_program_folder

coproc MODEM { exec "$BUILD/tools/modemsim/modemsim"; }
PIDS+=($MODEM_PID)
read -r -u "${MODEM[0]}" DEVICE
modem() {
    echo "$*" >&"${MODEM[1]}"
    local answer
    while read -r -t 30 -u "${MODEM[0]}" answer; do [ "$answer" = done ] && return 0; done
    fail "the modem did not answer '$*'"
}

# Port 1 is the fake modem, caller-ID mode 1 ("制式1" in GBK).
printf '[zel]\r\nfather=com1\r\nschool=\xd6\xc6\xca\xbd1\r\n[ports]\r\ncom1=%s\r\n' "$DEVICE" >"$PROGRAM/zel.ini"
sqlite3 "$PROGRAM/tel.mdb" "insert into customer(customercode,customername,address,code,person,tel,email,qq)
  values('C0001','老王五金店','北京市海淀区学院路8号','100083','王建国','5551234','wang@example.com','12345678')"

MESSAGE_LOG="" start_corvane
sleep 1
xdotool windowminimize "$MAIN"
wait_for 30 eval '! viewable "$MAIN"' || fail "the window did not go to the tray"
screenshot demo-1-waiting-in-tray.png

modem call 5551234 "$(date +%m%d)" 1405
wait_for 50 viewable "$MAIN" || fail "the call did not bring the window back"
sleep 1
screenshot demo-2-known-customer.png

modem call 13900001111 "$(date +%m%d)" 1410
sleep 2
screenshot demo-3-new-number.png
xdotool key Return
sleep 1
screenshot demo-4-after-new-number.png
echo "call log:"
sqlite3 "$PROGRAM/tel.mdb" "select adate, atime, tel, customercode, customername from detail"
echo "screenshots in $CORVANE_TEST_ARTIFACTS"
