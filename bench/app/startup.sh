#!/usr/bin/env bash
# Start-up time: from starting Corvane to its main window on the screen, under a
# private X server with a tray; then, with one copy running, from starting a
# second copy to its end. Median and worst of N starts each. Last, how often
# two copies started together after a crash (its socket left behind) both run.
#   bench/app/startup.sh [starts] [crashes]   (after building; default 11 and 20)
# With ENGINE=postgresql the program works on a private PostgreSQL server of
# the script's own, holding CUSTOMERS customers (default 1,000,000).
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
export CORVANE="${BUILD:-$ROOT/build}/tests/support/corvane-under-test" SOURCE_DIR="$ROOT"
source "$ROOT/tests/desktop/desktop-lib.sh"

starts=${1:-11}
crashes=${2:-20}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# summary <what> <ms>...: the times, their median and the worst.
summary() {
    local what=$1
    shift
    local sorted=($(printf '%s\n' "$@" | sort -n))
    echo "$what, ms: $*"
    echo "median ${sorted[$((${#sorted[@]} / 2))]} ms, worst ${sorted[-1]} ms"
}

# Lets the program make its tables on a private server, fills them, and
# leaves the program folder's zel.ini pointing at it.
use_private_server() {
    start_server
    server_ini >"$PROGRAM/zel.ini"
    start_corvane
    kill "$CORVANE_PID"
    wait "$CORVANE_PID" 2>/dev/null
    server_sql "INSERT INTO customer (customercode, customername, tel) SELECT 'K' || i, '客户' || i,
        '1380' || lpad(i::text, 7, '0') FROM generate_series(1, ${CUSTOMERS:-1000000}) AS i; ANALYZE customer"
    echo "on a private PostgreSQL server with ${CUSTOMERS:-1000000} customers"
    # A desk that could not reach it would have said so in a message box.
    [ -s "$WORK/messages.log" ] && fail "the program was told: $(cat "$WORK/messages.log")"
}

start_desktop tray
make_program_folder
[ "${ENGINE:-sqlite}" = postgresql ] && use_private_server
times=()
for _ in $(seq "$starts"); do
    start=$(now_ms)
    start_corvane
    times+=($(($(now_ms) - start)))
    kill "$CORVANE_PID"
    wait "$CORVANE_PID" 2>/dev/null
done
summary "start-up to main window shown" "${times[@]}"

# A second copy hands over to the first and ends with 0; one that hangs is
# stopped and counted as failed.
start_corvane
times=()
failures=0
for _ in $(seq "$starts"); do
    start=$(now_ms)
    if CORVANE_MESSAGE_LOG="$WORK/second-messages.log" timeout 30 "$PROGRAM/Corvane" >>"$WORK/second.log" 2>&1; then
        times+=($(($(now_ms) - start)))
    else
        failures=$((failures + 1))
    fi
done
[ ${#times[@]} -gt 0 ] && summary "second copy, start to end" "${times[@]}"
echo "second copy failed $failures of $starts times"
kill "$CORVANE_PID"
wait "$CORVANE_PID" 2>/dev/null

# A crashed copy leaves its socket; two copies started at once must still give
# one running copy.
double=0
for _ in $(seq "$crashes"); do
    start_corvane
    kill -9 "$CORVANE_PID"
    wait "$CORVANE_PID" 2>/dev/null
    CORVANE_MESSAGE_LOG="$WORK/a.log" "$PROGRAM/Corvane" >>"$WORK/a.out" 2>&1 &
    a=$!
    CORVANE_MESSAGE_LOG="$WORK/b.log" "$PROGRAM/Corvane" >>"$WORK/b.out" 2>&1 &
    b=$!
    await_window Corvane
    sleep 1.5
    alive=0
    for pid in $a $b; do kill -0 "$pid" 2>/dev/null && alive=$((alive + 1)); done
    [ "$alive" -gt 1 ] && double=$((double + 1))
    kill $a $b 2>/dev/null
    wait $a $b 2>/dev/null
done
echo "two copies after a crash both ran $double of $crashes times"
