#!/usr/bin/env bash
# Whole-process benchmark: the clock against `xclock -update 1` at the same size, in the
# same run, on a private Xvfb display. Prints one table: time from process start to the
# first frame on screen, resident memory after 10 s, and CPU seconds used over the
# following 60 s (all threads), at 128 and 256 pixels, with the ratios clock / xclock.
# Not part of the test suite; numbers depend on the machine and its load.
#
#   bash bench/process_bench.sh [bin folder, default build/bin] [seconds, default 60]
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/bin}
seconds=${2:-60}
source "$here/../tests/e2e/lib.sh" "$bin"
set +u
e2e_start_x 1024x768

probe="$E2E_BIN/zintar_probe"
now_ms() { date +%s%3N; }

# CPU time of every thread of a process, in nanoseconds.
cpu_ns() {
    local total=0 t ns
    for t in /proc/"$1"/task/*/schedstat; do
        read -r ns _ <"$t" 2>/dev/null && total=$((total + ns))
    done
    echo "$total"
}
rss_kb() { awk '/^VmRSS:/{print $2}' /proc/"$1"/status; }

# start_measured NAME X Y SIZE CMD...: starts CMD, waits for its first frame at the centre
# of the square at X,Y; sets PID_<NAME> and FIRST_<NAME> (ms), START_<NAME> (s).
start_measured() {
    local name=$1 x=$2 y=$3 size=$4
    shift 4
    "$probe" wait-not $((x + size / 2)) $((y + size / 2)) "$E2E_DESKTOP" 20000 >"$E2E_TMP/first" &
    local probe_pid=$!
    sleep 0.3 # the probe is polling before the program starts
    local t0
    t0=$(now_ms)
    "$@" >/dev/null 2>&1 &
    local pid=$!
    E2E_PIDS+=($pid)
    wait "$probe_pid"
    printf -v "PID_$name" '%s' "$pid"
    printf -v "FIRST_$name" '%s' $(($(cat "$E2E_TMP/first") - t0))
    printf -v "START_$name" '%s' "$(date +%s)"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN{ if (b > 0) printf "%.2f", a / b; else print "-" }'; }

rows=()
for size in 128 256; do
    mkdir -p "$E2E_USER"
    printf '%s\r\n' "[Window]" "Borderless=True" "AlwaysOnTop=-1" "Transparent=False" \
        "WindowX=6000" "WindowY=0" "SizeX=$size" "SizeY=$size" >"$E2E_SETTINGS"
    start_measured xclock 0 0 "$size" xclock -update 1 -geometry "${size}x${size}+0+0"
    start_measured zintar 400 0 "$size" "$E2E_BIN/zintar"
    sleep $((START_zintar + 10 - $(date +%s)))
    rss_x=$(rss_kb "$PID_xclock")
    rss_z=$(rss_kb "$PID_zintar")
    c0_x=$(cpu_ns "$PID_xclock")
    c0_z=$(cpu_ns "$PID_zintar")
    sleep "$seconds"
    c1_x=$(cpu_ns "$PID_xclock")
    c1_z=$(cpu_ns "$PID_zintar")
    cpu_x=$(awk -v a="$c0_x" -v b="$c1_x" 'BEGIN{printf "%.3f", (b - a) / 1e9}')
    cpu_z=$(awk -v a="$c0_z" -v b="$c1_z" 'BEGIN{printf "%.3f", (b - a) / 1e9}')
    mb_x=$(awk -v k="$rss_x" 'BEGIN{printf "%.1f", k / 1024}')
    mb_z=$(awk -v k="$rss_z" 'BEGIN{printf "%.1f", k / 1024}')
    rows+=("| first frame (ms) | $size | $FIRST_zintar | $FIRST_xclock | $(ratio "$FIRST_zintar" "$FIRST_xclock") |")
    rows+=("| resident after 10 s (MB) | $size | $mb_z | $mb_x | $(ratio "$mb_z" "$mb_x") |")
    rows+=("| CPU over ${seconds} s (s) | $size | $cpu_z | $cpu_x | $(ratio "$cpu_z" "$cpu_x") |")
    kill "$PID_zintar" "$PID_xclock" 2>/dev/null
    wait "$PID_zintar" "$PID_xclock" 2>/dev/null
done

echo "| measure | size | zintar | xclock -update 1 | zintar / xclock |"
echo "|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
