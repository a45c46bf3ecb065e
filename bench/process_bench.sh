#!/usr/bin/env bash
# Whole-process benchmark: the clock against `xclock -update 1` at the same size. Every run
# starts a program alone on an X server of its own, so the work it makes the server do counts
# with its own: CPU is the program's plus its Xvfb's, all threads, in nanoseconds from
# /proc/PID/task/*/schedstat. For each run: the time from exec to the first frame on screen,
# the CPU of the first 10 s, the program's RSS and PSS at 10 s, and the CPU per second over
# the idle window that follows. The cases take turns round by round; the table shows medians
# and the ratios clock / xclock. Not part of the test suite: numbers depend on the machine and
# its load.
#
# A start takes a few tens of milliseconds, and a busy host moves it by about as much as the
# difference between two programs, so start-up also gets starts of its own: after the rounds,
# each program is started that many more times, in turn, each on a new Xvfb, and stopped as
# soon as its first frame is on screen. The start-up rows are the medians of all starts.
#
#   bash bench/process_bench.sh [--seconds N] [--rounds N] [--starts N] [--clock NAME=PATH]...
#                               [--probe PATH]
#
#   --seconds  idle window per run, default 20     --rounds  runs per case, default 3
#   --starts   further starts per program and size, for start-up alone, default 10
#   --clock    a clock binary, named for its column; repeat to compare builds in one run
#              (default: zintar=build/bin/zintar)
#   --probe    the screen watcher, default build/bin/zintar_probe
#
# The see-through face is chosen at run time, never read from the settings file: its rows run
# the zintar_seethrough program that sits beside each clock binary, and stay empty without one.
# xclock has one face, so its bitmap runs stand in both rows.

BENCH_PROC=${BENCH_PROC:-/proc}
BENCH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BENCH_DESKTOP=3A6EA5 # the root window's colour, which the first frame covers
BENCH_SIZES=(128 256)
BENCH_FACES=(bitmap see-through)
BENCH_XCLOCK=xclock

# CPU time of every thread of a process, in nanoseconds (0 once it has gone).
bench_cpu_ns() {
    local total=0 t ns
    for t in "$BENCH_PROC/$1"/task/*/schedstat; do
        read -r ns _ 2>/dev/null <"$t" && total=$((total + ns))
    done
    echo "$total"
}
bench_rss_kb() { awk '/^VmRSS:/ {print $2; exit}' "$BENCH_PROC/$1/status" 2>/dev/null; }
bench_pss_kb() { awk '/^Pss:/ {print $2; exit}' "$BENCH_PROC/$1/smaps_rollup" 2>/dev/null; }
bench_mb() { [ -n "$1" ] && awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
# True while a process runs: neither gone nor a zombie nobody has waited for yet.
bench_alive() {
    local stat
    stat=$(cat "$BENCH_PROC/$1/stat" 2>/dev/null) && stat=${stat##*) } && [ "${stat:0:1}" != Z ]
}

# Median of the numbers on stdin, one a line; blank lines are runs that gave nothing. Two
# decimals below 10 (idle CPU is a fraction of a millisecond per second), one above.
bench_median() {
    sort -g | awk 'NF {v[n++] = $1}
        END {if (n) {m = int(n / 2); x = n % 2 ? v[m] : (v[m - 1] + v[m]) / 2
                     printf x < 10 ? "%.2f\n" : "%.1f\n", x}}'
}
bench_ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (a != "" && b + 0 > 0) printf "%.2f", a / b; else print "-"}'; }

# bench_write_settings DATA_HOME SIZE: the clock's settings file, CR LF, at the top-left corner.
bench_write_settings() {
    mkdir -p "$1/Zintar_22" &&
        printf '%s\n' "[Window]" "Borderless=True" "AlwaysOnTop=-1" "Transparent=False" \
            "WindowX=0" "WindowY=0" "SizeX=$2" "SizeY=$2" | sed 's/$/\r/' >"$1/Zintar_22/mysettings.ini"
}

# The see-through program of a clock binary, or nothing.
bench_seethrough_of() {
    local exe
    exe="$(dirname "$1")/zintar_seethrough"
    [ -x "$exe" ] && echo "$exe"
}

bench_die() { echo "process_bench: $*" >&2 && exit 2; }

# Sets BENCH_SECONDS, BENCH_ROUNDS, BENCH_STARTS, BENCH_PROBE, BENCH_NAMES and BENCH_PATHS from
# the options.
bench_parse_args() {
    BENCH_SECONDS=20 BENCH_ROUNDS=3 BENCH_STARTS=10 BENCH_PROBE="$BENCH_ROOT/build/bin/zintar_probe"
    BENCH_NAMES=() BENCH_PATHS=()
    while [ $# -gt 0 ]; do
        case $1 in
        --seconds | --rounds | --starts | --clock | --probe)
            [ $# -ge 2 ] || bench_die "$1 needs a value"
            ;;&
        --seconds) BENCH_SECONDS=$2 ;;
        --rounds) BENCH_ROUNDS=$2 ;;
        --starts) BENCH_STARTS=$2 ;;
        --probe) BENCH_PROBE=$2 ;;
        --clock)
            [[ $2 == ?*=?* ]] || bench_die "--clock wants NAME=PATH, not '$2'"
            local name=${2%%=*} path=${2#*=} n
            for n in "${BENCH_NAMES[@]}" "$BENCH_XCLOCK"; do
                [ "$n" = "$name" ] && bench_die "two columns named '$name'"
            done
            BENCH_NAMES+=("$name") BENCH_PATHS+=("$path")
            ;;
        *) bench_die "unknown argument '$1' (see the head of $0)" ;;
        esac
        shift 2
    done
    [[ $BENCH_SECONDS =~ ^[1-9][0-9]*$ ]] || bench_die "--seconds wants a whole number of seconds"
    [[ $BENCH_ROUNDS =~ ^[1-9][0-9]*$ ]] || bench_die "--rounds wants a whole number"
    [[ $BENCH_STARTS =~ ^[0-9]+$ ]] || bench_die "--starts wants a whole number"
    if [ "${#BENCH_NAMES[@]}" -eq 0 ]; then
        BENCH_NAMES=(zintar) BENCH_PATHS=("$BENCH_ROOT/build/bin/zintar")
    fi
    local i
    for i in "${!BENCH_PATHS[@]}"; do
        [ -x "${BENCH_PATHS[$i]}" ] || bench_die "no clock program at ${BENCH_PATHS[$i]}"
        BENCH_PATHS[i]=$(cd "$(dirname "${BENCH_PATHS[$i]}")" && pwd)/$(basename "${BENCH_PATHS[$i]}")
    done
}

bench_now_ms() { echo $((${EPOCHREALTIME/[.,]/} / 1000)); }
bench_sleep_until_ms() {
    local left=$(($1 - $(bench_now_ms)))
    ((left > 0)) && sleep "$(awk -v ms="$left" 'BEGIN {printf "%.3f", ms / 1000}')"
}
# Stops a process started here and waits for it; a second signal when it hangs.
bench_stop() {
    local i
    kill "$1" 2>/dev/null
    for ((i = 0; i < 30; i++)); do bench_alive "$1" && sleep 0.1; done
    kill -9 "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}

# bench_run NAME FACE SIZE DIR CMD...: one run of CMD on a new Xvfb with DIR as its home;
# appends a line to $BENCH_RUNS: name, face, size, start-up (ms), CPU of the first 10 s (ms),
# idle CPU (ms per s), RSS and PSS at 10 s (MB), the X server's RSS at 10 s (MB), and the idle
# CPU of the program alone (ms per s). With BENCH_START_ONLY=1 the program is stopped once its
# first frame is on screen, and the line holds the start-up alone.
bench_run() {
    local name=$1 face=$2 size=$3 dir=$4
    shift 4
    mkdir -p "$dir/home" "$dir/data" && mkdir -m 700 "$dir/runtime"
    [ "$name" = "$BENCH_XCLOCK" ] || bench_write_settings "$dir/data" "$size"

    local number xvfb pid probe_pid t0 first="" startup=""
    mkfifo "$dir/displayfd"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp -ac 3>"$dir/displayfd" \
        >"$dir/xvfb.log" 2>&1 &
    xvfb=$!
    BENCH_LIVE=("$xvfb")
    read -r -t 20 number <"$dir/displayfd" || bench_die "Xvfb did not start: $(cat "$dir/xvfb.log")"
    export DISPLAY=":$number"
    local tries
    for ((tries = 0; tries < 50; tries++)); do
        xsetroot -solid "#$BENCH_DESKTOP" 2>/dev/null && break
        sleep 0.1
    done
    ((tries < 50)) || bench_die "display $DISPLAY does not answer"

    # The probe polls one pixel at the centre of the program's square until it changes; its
    # requests during the start-up fall on the X server and count alike for every program.
    "$BENCH_PROBE" wait-not $((size / 2)) $((size / 2)) "$BENCH_DESKTOP" 20000 >"$dir/first" &
    probe_pid=$!
    sleep 0.3 # polling before the program starts
    local x0
    x0=$(bench_cpu_ns "$xvfb")
    t0=$(bench_now_ms)
    (
        cd "$dir" || exit 1
        export HOME="$dir/home" XDG_DATA_HOME="$dir/data" XDG_CONFIG_HOME="$dir/home/.config" \
            XDG_CACHE_HOME="$dir/home/.cache" XDG_RUNTIME_DIR="$dir/runtime" TZ=UTC \
            QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=1
        unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER WAYLAND_DISPLAY
        exec "$@" >"$dir/program.log" 2>&1
    ) &
    pid=$!
    BENCH_LIVE=("$xvfb" "$pid")
    wait "$probe_pid" && read -r first <"$dir/first" && startup=$((first - t0))
    if [ "${BENCH_START_ONLY:-0}" = 1 ]; then
        bench_stop "$pid"
        bench_stop "$xvfb"
        BENCH_LIVE=()
        printf '%s\t%s\t%s\t%s\t\t\t\t\t\t\n' "$name" "$face" "$size" "$startup" >>"$BENCH_RUNS"
        rm -rf "$dir"
        return
    fi

    bench_sleep_until_ms $((t0 + 10000))
    local c10 x10 rss pss xrss c_end x_end cpu10="" idle="" own="" alive=1
    c10=$(bench_cpu_ns "$pid") x10=$(bench_cpu_ns "$xvfb")
    rss=$(bench_rss_kb "$pid") pss=$(bench_pss_kb "$pid") xrss=$(bench_rss_kb "$xvfb")
    bench_sleep_until_ms $((t0 + 10000 + BENCH_SECONDS * 1000))
    c_end=$(bench_cpu_ns "$pid") x_end=$(bench_cpu_ns "$xvfb")
    bench_alive "$pid" || alive=0
    bench_stop "$pid"
    bench_stop "$xvfb"
    BENCH_LIVE=()
    if ((alive)); then
        cpu10=$(awk -v c="$c10" -v x="$((x10 - x0))" 'BEGIN {printf "%.1f", (c + x) / 1e6}')
        idle=$(awk -v c="$((c_end - c10))" -v x="$((x_end - x10))" -v s="$BENCH_SECONDS" \
            'BEGIN {printf "%.3f", (c + x) / 1e6 / s}')
        own=$(awk -v c="$((c_end - c10))" -v s="$BENCH_SECONDS" 'BEGIN {printf "%.3f", c / 1e6 / s}')
    else
        echo "process_bench: $name ($face, $size px) ended early: $(tail -n 3 "$dir/program.log")" >&2
        rss="" pss=""
    fi
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$face" "$size" "$startup" \
        "$cpu10" "$idle" "$(bench_mb "$rss")" "$(bench_mb "$pss")" "$(bench_mb "$xrss")" "$own" \
        >>"$BENCH_RUNS"
    rm -rf "$dir"
}

# bench_median_of FILE NAME FACE SIZE COLUMN: the median of one measure over a case's runs.
bench_median_of() {
    awk -F'\t' -v n="$2" -v f="$3" -v s="$4" -v c="$5" '$1 == n && $2 == f && $3 == s {print $c}' \
        "$1" | bench_median
}

# bench_table FILE NAME...: the markdown table of the runs in FILE, one column per clock
# named, then xclock, then each clock's ratio to xclock.
bench_table() {
    local file=$1 head="| measure |" rule="|---|" n
    shift
    for n in "$@" "$BENCH_XCLOCK"; do head+=" $n |" rule+="---:|"; done
    for n in "$@"; do head+=" $n / $BENCH_XCLOCK |" rule+="---:|"; done
    echo "$head"
    echo "$rule"
    local row label face size column line x v values
    for row in \
        "idle CPU, bitmap face, 128 px (ms per s):bitmap:128:6" \
        "idle CPU, bitmap face, 256 px (ms per s):bitmap:256:6" \
        "idle CPU, see-through face, 128 px (ms per s):see-through:128:6" \
        "idle CPU, see-through face, 256 px (ms per s):see-through:256:6" \
        "start-up, exec to first frame, 128 px (ms):bitmap:128:4" \
        "start-up, exec to first frame, 256 px (ms):bitmap:256:4" \
        "CPU in the first 10 s, 128 px (ms):bitmap:128:5" \
        "CPU in the first 10 s, 256 px (ms):bitmap:256:5" \
        "RSS after 10 s, 128 px (MB):bitmap:128:7" \
        "PSS after 10 s, 128 px (MB):bitmap:128:8" \
        "RSS after 10 s, 256 px (MB):bitmap:256:7" \
        "PSS after 10 s, 256 px (MB):bitmap:256:8"; do
        IFS=: read -r label face size column <<<"$row"
        x=$(bench_median_of "$file" "$BENCH_XCLOCK" bitmap "$size" "$column")
        line="| $label |" values=()
        for n in "$@"; do
            v=$(bench_median_of "$file" "$n" "$face" "$size" "$column")
            values+=("$v")
            line+=" ${v:--} |"
        done
        line+=" ${x:--} |"
        for v in "${values[@]}"; do line+=" $(bench_ratio "$v" "$x") |"; done
        echo "$line"
    done
}

# What a run left behind when the script is stopped in the middle of it.
bench_kill_live() {
    local p
    for p in "${BENCH_LIVE[@]}"; do kill "$p" 2>/dev/null; done
}

bench_main() {
    bench_parse_args "$@"
    [ -x "$BENCH_PROBE" ] || bench_die "no probe at $BENCH_PROBE (build the target zintar_probe)"
    command -v xclock >/dev/null || bench_die "xclock is missing (scripts/install-deps.sh)"
    local out i n round size face exe
    BENCH_LIVE=()
    trap bench_kill_live EXIT
    trap 'exit 130' INT TERM
    out=$(mktemp -d "${TMPDIR:-/tmp}/zintar-bench.XXXXXX")
    BENCH_RUNS="$out/runs.tsv"
    : >"$BENCH_RUNS"
    for i in "${!BENCH_PATHS[@]}"; do
        bench_seethrough_of "${BENCH_PATHS[$i]}" >/dev/null ||
            echo "process_bench: no zintar_seethrough beside ${BENCH_PATHS[$i]}:" \
                "its see-through rows stay empty" >&2
    done
    n=0
    for ((round = 1; round <= BENCH_ROUNDS; round++)); do
        for size in "${BENCH_SIZES[@]}"; do
            for face in "${BENCH_FACES[@]}"; do
                for i in "${!BENCH_PATHS[@]}"; do
                    exe=${BENCH_PATHS[$i]}
                    [ "$face" = bitmap ] || exe=$(bench_seethrough_of "$exe") || continue
                    echo "process_bench: round $round, ${BENCH_NAMES[$i]}, $face face, $size px" >&2
                    bench_run "${BENCH_NAMES[$i]}" "$face" "$size" "$out/run$((n++))" "$exe"
                done
                [ "$face" = bitmap ] || continue
                echo "process_bench: round $round, xclock, $size px" >&2
                bench_run "$BENCH_XCLOCK" bitmap "$size" "$out/run$((n++))" \
                    xclock -update 1 -geometry "${size}x${size}+0+0"
            done
        done
    done
    local start
    for ((start = 1; start <= BENCH_STARTS; start++)); do
        for size in "${BENCH_SIZES[@]}"; do
            for i in "${!BENCH_PATHS[@]}"; do
                echo "process_bench: start $start, ${BENCH_NAMES[$i]}, $size px" >&2
                BENCH_START_ONLY=1 bench_run "${BENCH_NAMES[$i]}" bitmap "$size" \
                    "$out/run$((n++))" "${BENCH_PATHS[$i]}"
            done
            echo "process_bench: start $start, xclock, $size px" >&2
            BENCH_START_ONLY=1 bench_run "$BENCH_XCLOCK" bitmap "$size" "$out/run$((n++))" \
                xclock -update 1 -geometry "${size}x${size}+0+0"
        done
    done
    bench_table "$BENCH_RUNS" "${BENCH_NAMES[@]}"
    echo
    echo "Medians of $BENCH_ROUNDS runs, and of $((BENCH_ROUNDS + BENCH_STARTS)) starts for" \
        "start-up; CPU is the program's plus its own Xvfb's; the idle window is the" \
        "$BENCH_SECONDS s after the first 10 s. Every run, with the X server's RSS and the" \
        "program's idle CPU without its server in the last two columns: $BENCH_RUNS"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    bench_main "$@"
fi
