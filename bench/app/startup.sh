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

# as_server <command...>: runs a PostgreSQL tool as the postgres user.
as_server() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

# Starts a private server on a socket folder, lets the program make its tables
# there and fills them, then points the program folder's zel.ini at it.
use_private_server() {
    local bin=/usr/lib/postgresql/15/bin
    SERVER=$(mktemp -d /tmp/corvane-server.XXXXXX)
    chmod 755 "$SERVER"
    mkdir -p "$SERVER/data" "$SERVER/socket"
    [ "$(id -u)" -eq 0 ] && chown postgres "$SERVER/data" "$SERVER/socket"
    as_server "$bin/initdb" -D "$SERVER/data" -A trust --no-sync >/dev/null
    as_server "$bin/pg_ctl" -D "$SERVER/data" -l "$SERVER/data/server.log" -w \
        -o "-k $SERVER/socket -c listen_addresses= -p 5439" start >/dev/null
    trap "as_server $bin/pg_ctl -D $SERVER/data -m immediate stop >/dev/null; rm -rf $SERVER; cleanup" EXIT
    as_server "$bin/createdb" -h "$SERVER/socket" -p 5439 corvane
    printf '[database]\r\nengine=postgresql\r\nhost=%s\r\nport=5439\r\nname=corvane\r\nuser=postgres\r\n' \
        "$SERVER/socket" >"$PROGRAM/zel.ini"
    start_corvane
    kill "$CORVANE_PID"
    wait "$CORVANE_PID" 2>/dev/null
    as_server psql -q -h "$SERVER/socket" -p 5439 -d corvane -c \
        "INSERT INTO customer (customercode, customername, tel) SELECT 'K' || i, '客户' || i,
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
