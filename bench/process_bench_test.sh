#!/usr/bin/env bash
# Checks of the whole-process benchmark's reading of /proc, its options, the settings it writes
# and the table it makes, on made-up processes and runs; no X server is started.
source "$(dirname "$0")/process_bench.sh"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/process-bench-test.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
failed=0
check() { # check NAME WANT GOT
    if [ "$2" = "$3" ]; then
        echo "PASS: $1"
    else
        echo "FAIL: $1: want '$2', got '$3'" && failed=$((failed + 1))
    fi
}
fails() { ("$@") >/dev/null 2>&1 && echo no || echo yes; } # bench_die exits its subshell

# /proc: nanoseconds of every thread (the first schedstat field), memory lines by exact name.
BENCH_PROC="$tmp/proc"
mkdir -p "$BENCH_PROC"/42/task/{42,43,44}
echo "1500000000 200 7" >"$BENCH_PROC/42/task/42/schedstat"
echo "2500000001 900 3" >"$BENCH_PROC/42/task/43/schedstat"
echo "4 1 1" >"$BENCH_PROC/42/task/44/schedstat"
check "CPU sums every thread's nanoseconds" 4000000005 "$(bench_cpu_ns 42)"
check "CPU of a process that has gone" 0 "$(bench_cpu_ns 99)"
printf '%s\n' "Rss:  9000 kB" "Pss_Dirty:  10 kB" "Pss:  5120 kB" "Pss_Anon:  20 kB" \
    >"$BENCH_PROC/42/smaps_rollup"
printf '%s\n' "Name: zintar" "VmHWM: 9999 kB" "VmRSS: 8192 kB" >"$BENCH_PROC/42/status"
check "PSS is the Pss line, not Pss_Dirty or Pss_Anon" 5120 "$(bench_pss_kb 42)"
check "RSS from the status file" 8192 "$(bench_rss_kb 42)"
check "kB to MB" 5.0 "$(bench_mb 5120)"
check "no MB of nothing" "" "$(bench_mb "")"
echo "42 (odd) name) S 1 42" >"$BENCH_PROC/42/stat"
check "a sleeping process runs, whatever its name" yes "$(bench_alive 42 && echo yes || echo no)"
echo "42 (zintar) Z 1 42" >"$BENCH_PROC/42/stat"
check "a zombie has ended" no "$(bench_alive 42 && echo yes || echo no)"
check "a process without a /proc entry has ended" no "$(bench_alive 99 && echo yes || echo no)"
BENCH_PROC=/proc

# Medians and ratios.
median() { printf '%s\n' "$@" | bench_median; }
check "median of three, unsorted" 20.0 "$(median 30 10 20)"
check "two decimals for small values" 0.24 "$(median 0.242 0.238 0.258)"
check "median sorts by value, not text" 10.0 "$(median 100 9 10)"
check "median of an even count is the mean of the middle two" 2.50 "$(median 4 1 2 3)"
check "runs that gave nothing are left out" 7.00 "$(median "" 7 "")"
check "no runs, no median" "" "$(median "" "")"
check "ratio" 2.50 "$(bench_ratio 5 2)"
check "no ratio against nothing" - "$(bench_ratio 5 0)"
check "no ratio of nothing" - "$(bench_ratio "" 2)"

# The settings file: where the clock looks, CR LF on every line, the size asked for.
bench_write_settings "$tmp/data" 256
ini="$tmp/data/Zintar_22/mysettings.ini"
check "every line ends in CR LF" "$(wc -l <"$ini")" "$(grep -c $'\r$' "$ini")"
check "window section, top-left corner, size" "[Window] WindowX=0 WindowY=0 SizeX=256 SizeY=256" \
    "$(tr -d '\r' <"$ini" | grep -E '^\[|^Size|^Window' | tr '\n' ' ' | sed 's/ $//')"

# Options.
mkdir -p "$tmp/a" "$tmp/b"
for exe in "$tmp/a/zintar" "$tmp/b/zintar" "$tmp/b/zintar_seethrough"; do
    printf '#!/bin/sh\n' >"$exe" && chmod +x "$exe"
done
(
    cd "$tmp" || exit 1
    bench_parse_args --seconds 5 --clock before=a/zintar --clock after="$tmp/b/zintar" --rounds 1 \
        --starts 0
    check "two clocks in the order given, paths made absolute" \
        "before after|$tmp/a/zintar $tmp/b/zintar|5 1 0" \
        "${BENCH_NAMES[*]}|${BENCH_PATHS[*]}|$BENCH_SECONDS $BENCH_ROUNDS $BENCH_STARTS"
)
check "the see-through program beside a clock" "$tmp/b/zintar_seethrough" \
    "$(bench_seethrough_of "$tmp/b/zintar")"
check "none beside the other" "" "$(bench_seethrough_of "$tmp/a/zintar")"
check "refused: a clock without a name" yes "$(fails bench_parse_args --clock "$tmp/a/zintar")"
check "refused: two columns of one name" yes \
    "$(fails bench_parse_args --clock x="$tmp/a/zintar" --clock x="$tmp/b/zintar")"
check "refused: a clock column named like xclock's" yes \
    "$(fails bench_parse_args --clock xclock="$tmp/a/zintar")"
check "refused: a clock that is not there" yes "$(fails bench_parse_args --clock c="$tmp/none")"
check "refused: an idle window that is no number" yes "$(fails bench_parse_args --seconds 2x)"
check "refused: an option without its value" yes "$(fails bench_parse_args --seconds)"
check "refused: starts that are no number" yes "$(fails bench_parse_args --starts -1)"

# The table: medians per case, xclock's one face in both face rows, ratios against it.
runs="$tmp/runs.tsv"
row() { printf '%s\t' "$@" | sed 's/\t$//' >>"$runs" && echo >>"$runs"; }
for size in 128 256; do
    for r in 1 2 3; do
        row before bitmap "$size" $((300 + r)) $((900 + r)) "$r" 40 30 10
        row after bitmap "$size" 200 800 $((r * 2)) 20 15 10
        row after see-through "$size" 250 850 $((r * 4)) 21 16 10
        row xclock bitmap "$size" 100 $((100 * r)) 0.5 4 2 9
    done
done
# Starts of their own: start-up only, the other measures empty.
for r in 1 2 3 4; do
    printf 'after\tbitmap\t128\t%s\t\t\t\t\t\t\n' $((180 + r)) >>"$runs"
done
table=$(bench_table "$runs" before after)
line() { grep -F "| $1 " <<<"$table"; }
check "header: clocks, xclock, then each clock's ratio" \
    "| measure | before | after | xclock | before / xclock | after / xclock |" \
    "$(head -n1 <<<"$table")"
check "twelve rows of measures" 14 "$(wc -l <<<"$table")"
check "idle CPU, bitmap face" "| idle CPU, bitmap face, 128 px (ms per s) | 2.00 | 4.00 | 0.50 | 4.00 | 8.00 |" \
    "$(line "idle CPU, bitmap face, 128")"
check "see-through face: xclock's bitmap runs, a clock without that face left empty" \
    "| idle CPU, see-through face, 256 px (ms per s) | - | 8.00 | 0.50 | - | 16.00 |" \
    "$(line "idle CPU, see-through face, 256")"
check "start-up" "| start-up, exec to first frame, 256 px (ms) | 302.0 | 200.0 | 100.0 | 3.02 | 2.00 |" \
    "$(line "start-up, exec to first frame, 256")"
check "CPU of the first 10 s" "| CPU in the first 10 s, 128 px (ms) | 902.0 | 800.0 | 200.0 | 4.51 | 4.00 |" \
    "$(line "CPU in the first 10 s, 128")"
check "starts of their own count in start-up alone" \
    "| start-up, exec to first frame, 128 px (ms) | 302.0 | 184.0 | 100.0 | 3.02 | 1.84 |" \
    "$(line "start-up, exec to first frame, 128")"
check "...and leave the idle CPU as it was" \
    "| idle CPU, bitmap face, 128 px (ms per s) | 2.00 | 4.00 | 0.50 | 4.00 | 8.00 |" \
    "$(line "idle CPU, bitmap face, 128")"
check "PSS" "| PSS after 10 s, 128 px (MB) | 30.0 | 15.0 | 2.00 | 15.00 | 7.50 |" \
    "$(line "PSS after 10 s, 128")"

echo "process_bench_test: $failed failed"
[ "$failed" -eq 0 ]
