#!/usr/bin/env bash
# Start-up time: from starting Corvane to its main window on the screen, under a
# private X server with a tray; median and worst of N starts.
#   bench/app/startup.sh [starts]     (after building; default 11 starts)
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
export CORVANE="${BUILD:-$ROOT/build}/bin/Corvane" SOURCE_DIR="$ROOT"
source "$ROOT/tests/desktop/desktop-lib.sh"

start_desktop tray
make_program_folder
times=()
for _ in $(seq "${1:-11}"); do
    start=$(date +%s%N)
    start_corvane
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
    kill "$CORVANE_PID"
    wait "$CORVANE_PID" 2>/dev/null
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start-up to main window shown, ms: ${times[*]}"
echo "median ${sorted[$((${#sorted[@]} / 2))]} ms, worst ${sorted[-1]} ms"
