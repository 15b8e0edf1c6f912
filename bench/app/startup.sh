#!/usr/bin/env bash
# Start-up time: from starting Corvane to its main window on the screen, under a
# private X server with a tray; then, with one copy running, from starting a
# second copy to its end. Median and worst of N starts each.
#   bench/app/startup.sh [starts]     (after building; default 11 starts)
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
export CORVANE="${BUILD:-$ROOT/build}/tests/support/corvane-under-test" SOURCE_DIR="$ROOT"
source "$ROOT/tests/desktop/desktop-lib.sh"

starts=${1:-11}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# summary <what> <ms>...: the times, their median and the worst.
summary() {
    local what=$1
    shift
    local sorted=($(printf '%s\n' "$@" | sort -n))
    echo "$what, ms: $*"
    echo "median ${sorted[$((${#sorted[@]} / 2))]} ms, worst ${sorted[-1]} ms"
}

start_desktop tray
make_program_folder
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
