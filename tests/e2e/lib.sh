# Harness for the tests of the real program: a private Xvfb display with openbox and tint2, the
# clock started in it, helpers to drive it and look at the screen. A test_*.sh script sources it
# with the bin folder as $1; every process started through it is stopped when the script exits.
set -u
E2E_BIN=$(cd "${1:?bin folder}" && pwd)
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/zintar-e2e.XXXXXX")
E2E_DESKTOP=${E2E_DESKTOP:-3A6EA5}
E2E_PIDS=() E2E_FAILED=0 E2E_PASSED=0 E2E_XVFB_PID="" E2E_TRAY_PID="" ZINTAR_PID="" ZINTAR_WIN=""
E2E_FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
ZINTAR_LOG="$E2E_TMP/zintar.log"

export XDG_RUNTIME_DIR="$E2E_TMP/runtime" XDG_DATA_HOME="$E2E_TMP/data" HOME="$E2E_TMP/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" TZ=UTC QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=1
export FAKETIME_DONT_FAKE_MONOTONIC=1 # timers run on the real clock where the wall clock is set
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER WAYLAND_DISPLAY
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
E2E_USER="$XDG_DATA_HOME/Zintar_22"
E2E_SETTINGS="$E2E_USER/mysettings.ini"

e2e_log() { echo "e2e: $*" >&2; }
e2e_die() { e2e_log "$*" && exit 1; }
e2e_cleanup() { # clients first, newest first, then the display they talk to
    local pid i
    for pid in $(printf '%s\n' "${E2E_PIDS[@]}" | tac) $E2E_XVFB_PID; do
        kill "$pid" 2>/dev/null
        for ((i = 0; i < 20; i++)); do kill -0 "$pid" 2>/dev/null && sleep 0.1; done
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    [ -n "${E2E_AFTER_STOP:-}" ] && eval "$E2E_AFTER_STOP" # a test's own undoing (umount...)
    [ "$E2E_FAILED" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$E2E_TMP" ||
        e2e_log "kept $E2E_TMP for inspection"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM
e2e_bg() { "$@" & E2E_PIDS+=($!); }
e2e_not() { ! "$@"; }

# e2e_wait_until SECONDS CMD...: retries CMD every 0.1 s until it succeeds; stops one that hangs.
e2e_wait_until() {
    local tries=$(($1 * 10)) run=()
    shift
    [ "$(type -t "$1")" = file ] && run=(timeout 10)
    while ((tries-- > 0)); do
        "${run[@]}" "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# Without a window id xwininfo waits for a mouse click on the display: fail instead.
xwininfo() {
    local prev="" a
    for a in "$@"; do
        [ "$prev" = -id ] && [ -z "$a" ] && e2e_log "xwininfo: no window id" && return 1
        prev=$a
    done
    command xwininfo "$@"
}

# xdotool dies with BadWindow when a window goes away during its search: ask again.
e2e_search() {
    local out tries
    for ((tries = 0; tries < 3; tries++)); do
        out=$(xdotool search "$@" 2>/dev/null) && [ -n "$out" ] && printf '%s\n' "$out" && return 0
        sleep 0.05
    done
    return 1
}

# e2e_start_x [WxH]: Xvfb on a free display; -noreset keeps the desktop colour.
e2e_start_x() {
    local fifo="$E2E_TMP/displayfd" number
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -noreset -nolisten tcp -ac 3>"$fifo" \
        >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    read -r -t 20 number <"$fifo" || e2e_die "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$number"
    e2e_wait_until 10 xdpyinfo || e2e_die "display $DISPLAY does not answer"
    e2e_set_desktop "$E2E_DESKTOP"
}

e2e_set_desktop() { E2E_DESKTOP=$1 && xsetroot -solid "#$1"; }
e2e_owner() { [ "$("$E2E_BIN/zintar_probe" owner "$1")" = 1 ]; }
e2e_start_wm() {
    e2e_bg openbox --sm-disable
    e2e_wait_until 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || e2e_die "no openbox"
}
e2e_start_tray() {
    e2e_bg sh -c 'exec tint2 >"$0" 2>&1' "$E2E_TMP/tint2.log"
    E2E_TRAY_PID=$!
    e2e_wait_until 10 e2e_owner _NET_SYSTEM_TRAY_S0 || e2e_die "tint2's tray did not come up"
}
e2e_desktop() { e2e_start_x "${1:-1024x768}" && e2e_start_wm && e2e_start_tray; }
e2e_write_settings() { mkdir -p "$E2E_USER" && printf '%s\n' "$1" | sed 's/$/\r/' >"$E2E_SETTINGS"; } # CR LF
# e2e_ini_value SECTION KEY
e2e_ini_value() {
    awk -v s="[$1]" -v k="$2" '{sub(/\r$/, "")}
        /^\[/ {in_s = (tolower($0) == tolower(s)); next}
        in_s && tolower(substr($0, 1, length(k) + 1)) == tolower(k "=") {print substr($0, length(k) + 2); exit}' \
        "$E2E_SETTINGS"
}
# What the X server and the process table say about the clock, for a start that found no window.
e2e_window_report() {
    echo "process $ZINTAR_PID: $(ps -o stat=,time=,wchan:32= -p "$ZINTAR_PID" 2>&1)"
    local w
    for w in $(xdotool search --all --name 'Zintar' 2>/dev/null); do
        echo "window $w: $(xwininfo -id "$w" 2>&1 | grep -E 'Map State|Absolute upper' | tr -s ' \n' ' ')" \
            "$(xprop -id "$w" _NET_WM_PID WM_NAME WM_STATE 2>&1 | tr '\n' ' ')"
    done
    xwininfo -root -children 2>&1 | tail -n +6 | head -n 20
}
e2e_find_window() {
    ZINTAR_WIN=$(e2e_search --all --onlyvisible --pid "$ZINTAR_PID" --name '^Zintar!' | head -n1) && [ -n "$ZINTAR_WIN" ]
}

# e2e_start_zintar [PREFIX...]: starts the clock ($ZINTAR_EXE if set), under a prefix command
# such as env or faketime if given, and waits for its window on screen.
e2e_start_zintar() {
    : >"$ZINTAR_LOG"
    QT_LOGGING_RULES="zintar.trace.debug=true" "$@" "${ZINTAR_EXE:-$E2E_BIN/zintar}" >>"$ZINTAR_LOG" 2>&1 &
    ZINTAR_PID=$! && E2E_PIDS+=($!)
    if [ "${1:-env}" != env ]; then # the prefix command runs the clock as its child
        e2e_wait_until 5 pgrep -P "$ZINTAR_PID" && ZINTAR_PID=$(pgrep -n -P "$ZINTAR_PID") && E2E_PIDS+=($ZINTAR_PID)
    fi
    e2e_wait_until 20 e2e_find_window || e2e_die "no clock window: $(cat "$ZINTAR_LOG")
$(e2e_window_report)"
    e2e_wait_log "Form Activated" 10
    sleep 0.5 # the window manager settles and the first frames reach the screen
}
e2e_wait_exit() {
    e2e_wait_until "${1:-5}" e2e_not kill -0 "$ZINTAR_PID" && { wait "$ZINTAR_PID" 2>/dev/null || true; }
}
e2e_stop_zintar() { wmctrl -i -c "$ZINTAR_WIN" 2>/dev/null; e2e_wait_exit 5 || { kill "$ZINTAR_PID" 2>/dev/null; e2e_wait_exit 5; }; }
e2e_wait_log() { e2e_wait_until "${2:-10}" grep -qF -- "$1" "$ZINTAR_LOG"; }

# "X Y W H" of a window on screen (the clock's client area by default).
e2e_geometry() {
    xwininfo -id "${1:-$ZINTAR_WIN}" | awk '/Absolute upper-left X/{x=$4}
        /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}
e2e_has_icon() { xprop -id "$1" _NET_WM_ICON | grep -q 'Icon (16 x 16)'; } # the program's own
e2e_net_state() { xprop -id "$ZINTAR_WIN" _NET_WM_STATE; }
e2e_frame_extents() { xprop -id "$ZINTAR_WIN" _NET_FRAME_EXTENTS | sed 's/.*= //'; } # L, R, T, B
e2e_pixel() { "$E2E_BIN/zintar_probe" pixel "$1" "$2"; }
# (mousemove --sync would wait for a move that never comes when the pointer is already there)
e2e_click() { xdotool mousemove "$1" "$2" sleep 0.05 click "${3:-1}"; }
e2e_right_click() { e2e_click "$1" "$2" 3; }
# The count of windows the clock shows: one more while a menu is open.
e2e_windows() { xdotool search --onlyvisible --pid "$ZINTAR_PID" 2>/dev/null | wc -l; }
# The last menu item the clock's trace named as highlighted.
e2e_highlighted() { grep -a 'Menu item: ' "$ZINTAR_LOG" | tail -n1 | sed 's/.*Menu item: //'; }

# e2e_menu_choose CAPTION [SUBCAPTION]: in the open menu, walks to CAPTION with the keyboard
# (then Right into its submenu and on to SUBCAPTION) and enters it.
e2e_menu_shown() { # a pop-up of the clock is on screen: its only override-redirect windows
    local w
    for w in $(e2e_search --onlyvisible --pid "$ZINTAR_PID"); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}
e2e_menu_choose() {
    local want i look=0 before
    e2e_wait_until 5 e2e_menu_shown
    for want in "$@"; do
        # The menu may still name the item highlighted last time: move before looking.
        for ((i = 0; i < 30; i++)); do
            ((look)) && [ "$(e2e_highlighted)" = "$want" ] && break
            before=$(grep -ac 'Menu item: ' "$ZINTAR_LOG")
            xdotool key Down # and wait for the trace to name the new item
            e2e_wait_until 2 sh -c "[ \$(grep -ac 'Menu item: ' '$ZINTAR_LOG') -gt $before ]"
            look=1
        done
        [ "$(e2e_highlighted)" = "$want" ] || { e2e_log "menu item '$want' not found" && return 1; }
        [ "$want" = "$1" ] && [ $# -gt 1 ] && xdotool key Right && sleep 0.3
    done
    xdotool key Return
    sleep 0.5
}

# "X Y" of the tray icon's centre: the clock's only other window of at most 64 x 64.
e2e_tray_icon_pos() {
    local w x y width height
    for w in $(e2e_search --onlyvisible --pid "$ZINTAR_PID"); do
        read -r x y width height < <(e2e_geometry "$w")
        [ "$w" != "$ZINTAR_WIN" ] && [ -n "$height" ] && ((width <= 64 && height <= 64)) &&
            echo $((x + width / 2)) $((y + height / 2)) && return 0
    done
    return 1
}

# e2e_result STATUS NAME: counts a check; a failure keeps a screenshot.
e2e_result() {
    [ "$1" = 0 ] && E2E_PASSED=$((E2E_PASSED + 1)) && echo "PASS: $2" && return 0
    E2E_FAILED=$((E2E_FAILED + 1))
    echo "FAIL: $2"
    "$E2E_BIN/zintar_probe" shot "$E2E_TMP/fail-$E2E_FAILED.png" 2>/dev/null || true
}
e2e_check() { "${@:2}"; e2e_result $? "$1"; } # e2e_check NAME CMD...
e2e_expect_eq() { [ "$2" = "$3" ]; e2e_result $? "$1: want '$2', got '$3'"; }
# True when two RRGGBB colours differ by at most TOL in every channel.
e2e_color_near() {
    local a=$1 b=$2 tol=$3 i x y
    for i in 0 2 4; do
        x=$((16#${a:$i:2})) y=$((16#${b:$i:2}))
        (((x > y ? x - y : y - x) <= tol)) || return 1
    done
}
# e2e_expect_pixel X Y RRGGBB TOL NAME
e2e_expect_pixel() {
    local got
    got=$(e2e_pixel "$1" "$2")
    e2e_color_near "$3" "$got" "$4"
    e2e_result $? "$5 (pixel $1,$2: want $3, got $got)"
}
e2e_finish() { echo "e2e: $E2E_PASSED passed, $E2E_FAILED failed" && [ "$E2E_FAILED" -eq 0 ]; }
