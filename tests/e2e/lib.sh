# Harness for the tests of the real program: a private X display with a window manager and
# a tray, the clock started in it, and helpers to drive it and look at the screen.
# Source it from a test_*.sh script; CTest passes the bin folder as $1:
#
#   source "$(dirname "$0")/lib.sh" "$1"
#   e2e_desktop                 # Xvfb + openbox + tint2, desktop colour set
#   e2e_start_zintar            # sets ZINTAR_PID and ZINTAR_WIN
#   e2e_expect_pixel 20 20 3A6EA5 8 "desktop shows"
#   e2e_finish                  # prints the result; exit status 0 when every check passed
#
# Every process the harness starts is stopped when the script exits, whatever happens.
#
# Variables (read them after the calls that set them):
#   E2E_BIN        the bin folder (zintar, zintar_probe, DefaultSkins.ini, pics/)
#   E2E_TMP        a private scratch folder for this test, removed at the end
#   XDG_DATA_HOME  private; the clock's per-user folder is $E2E_USER (…/Zintar_22)
#   E2E_SETTINGS   $E2E_USER/mysettings.ini
#   E2E_DESKTOP    the desktop colour as RRGGBB (default 3A6EA5)
#   DISPLAY        the private display
#   ZINTAR_PID, ZINTAR_WIN, ZINTAR_LOG   the clock's process, its X window, its stderr file
#   E2E_FAKETIME_LIB  libfaketime, for a clock that sees a chosen wall-clock time:
#                  e2e_start_zintar LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="2026-12-05 03:00:00" \
#                      FAKETIME_DONT_FAKE_MONOTONIC=1     (frozen; "@2026-..." runs from there)
#   ZINTAR_EXE     the program e2e_start_zintar runs; $E2E_BIN/zintar unless set
#
# Functions:
#   e2e_start_x [WxH]          Xvfb on a free display (-displayfd, -noreset), 1024x768 default
#   e2e_start_wm               openbox; waits until it manages windows
#   e2e_start_tray             tint2 (XEmbed tray); waits until the tray is there
#   e2e_stop_tray              stops tint2
#   e2e_start_compositor       xcompmgr; waits until it owns the compositing selection
#   e2e_desktop                e2e_start_x + desktop colour + e2e_start_wm + e2e_start_tray
#   e2e_set_desktop RRGGBB     the root window's colour
#   e2e_write_settings TEXT    writes mysettings.ini (LF lines given, stored as CR LF)
#   e2e_start_zintar [ENV=V...] [-- PREFIX...]  starts the clock (optionally under a prefix
#                              command such as faketime), waits for its window on screen
#   e2e_stop_zintar            closes the clock with the window manager's close; kills it
#                              if it has not ended after 5 s
#   e2e_find_window            sets ZINTAR_WIN again (after the window may have changed)
#   e2e_wait_exit SECONDS      waits for the clock's process to end; fails if it does not
#   e2e_geometry               prints "X Y W H" of the clock's client area on screen
#   e2e_frame                  prints the clock's top-level (frame) window id
#   e2e_net_state              prints the clock's _NET_WM_STATE atoms
#   e2e_pixel X Y              prints the screen pixel's colour as RRGGBB
#   e2e_count RRGGBB TOL X Y W H   pixels of an area close to a colour
#   e2e_shot NAME              saves a screenshot as $E2E_TMP/NAME.png (kept on failure)
#   e2e_right_click X Y / e2e_click X Y / e2e_middle_click X Y / e2e_double_click X Y
#   e2e_menu_choose CAPTION [SUBCAPTION]  in an open menu, moves the highlight with the
#                              keyboard until the clock's trace names CAPTION, then enters
#                              (Right into a submenu for SUBCAPTION, or Return)
#   e2e_tray_icon_pos          prints "X Y", the centre of the clock's tray icon
#   e2e_wait_until SECONDS CMD...   retries CMD every 0.1 s until it succeeds
#   e2e_search ARGS...         xdotool search, asked again when a window vanished meanwhile
#   e2e_wait_log TEXT [SECONDS]     waits until the clock's stderr holds TEXT
#   e2e_ini_value SECTION KEY  prints a value of mysettings.ini
#   e2e_check NAME CMD...      a check: passes when CMD succeeds
#   e2e_expect_eq NAME WANT GOT
#   e2e_expect_pixel X Y RRGGBB TOL NAME
#   e2e_not CMD...             succeeds when CMD fails (for e2e_check)
#   e2e_color_near A B TOL     true when two RRGGBB colours differ by at most TOL per channel
#   e2e_finish                 prints the summary; the script's exit status
#   e2e_bg CMD...              starts a helper process that the harness stops at the end

set -u
E2E_BIN=$(cd "${1:?bin folder}" && pwd)
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/zintar-e2e.XXXXXX")
E2E_DESKTOP=${E2E_DESKTOP:-3A6EA5}
E2E_PIDS=()
E2E_FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
E2E_FAILED=0
E2E_PASSED=0
ZINTAR_PID=""
ZINTAR_WIN=""
ZINTAR_LOG="$E2E_TMP/zintar.log"

export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
export XDG_DATA_HOME="$E2E_TMP/data"
export XDG_CONFIG_HOME="$E2E_TMP/config"
export XDG_CACHE_HOME="$E2E_TMP/cache"
export HOME="$E2E_TMP/home"
export TZ=UTC
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
E2E_USER="$XDG_DATA_HOME/Zintar_22"
E2E_SETTINGS="$E2E_USER/mysettings.ini"
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER WAYLAND_DISPLAY QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb
export NO_AT_BRIDGE=1

e2e_log() { echo "e2e: $*" >&2; }

E2E_XVFB_PID=""
e2e_cleanup() {
    local pid tries
    # Clients first, newest first, then the display they talk to.
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[$i]}
        [ "$pid" = "$E2E_XVFB_PID" ] || kill "$pid" 2>/dev/null
    done
    for pid in "${E2E_PIDS[@]}" "$E2E_XVFB_PID"; do
        [ -n "$pid" ] || continue
        [ "$pid" = "$E2E_XVFB_PID" ] && kill "$pid" 2>/dev/null
        for ((tries = 0; tries < 20; tries++)); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    if [ "$E2E_FAILED" -eq 0 ] && [ -z "${E2E_KEEP:-}" ]; then
        rm -rf "$E2E_TMP"
    else
        e2e_log "kept $E2E_TMP for inspection"
    fi
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

e2e_bg() {
    "$@" &
    E2E_PIDS+=($!)
}

e2e_wait_until() {
    local seconds=$1
    shift
    local tries=$((seconds * 10)) run=()
    # A program that hangs (waiting for input that never comes) must not hang the test.
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
        if [ "$prev" = -id ] && [ -z "$a" ]; then
            e2e_log "xwininfo: no window id"
            return 1
        fi
        prev=$a
    done
    command xwininfo "$@"
}

# xdotool dies with BadWindow when a window goes away during its search: ask again.
# Prints the ids found; fails when none is found.
e2e_search() {
    local out tries
    for ((tries = 0; tries < 3; tries++)); do
        out=$(xdotool search "$@" 2>/dev/null) && [ -n "$out" ] && {
            printf '%s\n' "$out"
            return 0
        }
        sleep 0.05
    done
    return 1
}

e2e_start_x() {
    local size=${1:-1024x768}
    local fifo="$E2E_TMP/displayfd"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp -ac 3>"$fifo" \
        >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    local number
    read -r -t 20 number <"$fifo" || {
        e2e_log "Xvfb did not start"
        cat "$E2E_TMP/xvfb.log" >&2
        exit 1
    }
    export DISPLAY=":$number"
    e2e_wait_until 10 xdpyinfo || {
        e2e_log "display $DISPLAY does not answer"
        exit 1
    }
    e2e_set_desktop "$E2E_DESKTOP"
}

e2e_set_desktop() {
    E2E_DESKTOP=$1
    xsetroot -solid "#$1"
}

e2e_start_wm() {
    e2e_bg openbox --sm-disable
    e2e_wait_until 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || {
        e2e_log "openbox did not start"
        exit 1
    }
}

e2e_owner() { [ "$("$E2E_BIN/zintar_probe" owner "$1")" = 1 ]; }

E2E_TRAY_PID=""
e2e_start_tray() {
    tint2 >"$E2E_TMP/tint2.log" 2>&1 &
    E2E_TRAY_PID=$!
    E2E_PIDS+=($E2E_TRAY_PID)
    e2e_wait_until 10 e2e_owner _NET_SYSTEM_TRAY_S0 || {
        e2e_log "tint2's tray did not come up"
        exit 1
    }
}

e2e_stop_tray() {
    [ -n "$E2E_TRAY_PID" ] || return 0
    kill "$E2E_TRAY_PID" 2>/dev/null
    wait "$E2E_TRAY_PID" 2>/dev/null
    E2E_TRAY_PID=""
    e2e_wait_until 5 sh -c "! '$E2E_BIN/zintar_probe' owner _NET_SYSTEM_TRAY_S0 | grep -q 1"
}

e2e_start_compositor() {
    e2e_bg xcompmgr
    e2e_wait_until 10 e2e_owner _NET_WM_CM_S0 || {
        e2e_log "xcompmgr did not start"
        exit 1
    }
}

e2e_desktop() {
    e2e_start_x "${1:-1024x768}"
    e2e_start_wm
    e2e_start_tray
}

e2e_write_settings() {
    mkdir -p "$E2E_USER"
    printf '%s\n' "$1" | sed 's/$/\r/' >"$E2E_SETTINGS"
}

e2e_ini_value() {
    awk -v s="[$1]" -v k="$2" 'BEGIN{IGNORECASE=1} {sub(/\r$/, "")}
        /^\[/ {in_s = (tolower($0) == tolower(s)); next}
        in_s && tolower(substr($0, 1, length(k) + 1)) == tolower(k "=") {print substr($0, length(k) + 2); exit}' \
        "$E2E_SETTINGS"
}

e2e_find_window() {
    ZINTAR_WIN=$(e2e_search --all --onlyvisible --pid "$ZINTAR_PID" --name '^Zintar!' | head -n1)
    [ -n "$ZINTAR_WIN" ]
}

e2e_start_zintar() {
    local envs=() prefix=()
    while [ $# -gt 0 ]; do
        if [ "$1" = "--" ]; then
            shift
            prefix=("$@")
            break
        fi
        envs+=("$1")
        shift
    done
    : >"$ZINTAR_LOG"
    env QT_LOGGING_RULES="zintar.trace.debug=true" "${envs[@]}" "${prefix[@]}" \
        "${ZINTAR_EXE:-$E2E_BIN/zintar}" >>"$ZINTAR_LOG" 2>&1 &
    ZINTAR_PID=$!
    E2E_PIDS+=($ZINTAR_PID)
    if [ ${#prefix[@]} -gt 0 ]; then
        # A prefix command may run the clock as its child.
        local child
        e2e_wait_until 5 pgrep -P "$ZINTAR_PID" && child=$(pgrep -n -P "$ZINTAR_PID")
        [ -n "${child:-}" ] && ZINTAR_PID=$child && E2E_PIDS+=($child)
    fi
    e2e_wait_until 20 e2e_find_window || {
        e2e_log "the clock's window did not appear"
        cat "$ZINTAR_LOG" >&2
        exit 1
    }
    e2e_wait_log "Form Activated" 10
    sleep 0.5 # the window manager settles and the first frames reach the screen
}

e2e_wait_exit() {
    local tries=$((${1:-5} * 10))
    while ((tries-- > 0)); do
        kill -0 "$ZINTAR_PID" 2>/dev/null || {
            wait "$ZINTAR_PID" 2>/dev/null
            return 0
        }
        sleep 0.1
    done
    return 1
}

e2e_stop_zintar() {
    [ -n "$ZINTAR_PID" ] || return 0
    wmctrl -i -c "$ZINTAR_WIN" 2>/dev/null || true
    e2e_wait_exit 5 || kill "$ZINTAR_PID" 2>/dev/null
    ZINTAR_PID=""
}

e2e_wait_log() {
    e2e_wait_until "${2:-10}" grep -qF -- "$1" "$ZINTAR_LOG"
}

e2e_geometry() {
    xwininfo -id "$ZINTAR_WIN" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

e2e_frame() {
    local w=$ZINTAR_WIN parent
    while :; do
        parent=$(xwininfo -children -id "$w" | awk '/Parent window id/{print $4}')
        if [ -z "$parent" ] || xwininfo -id "$parent" | grep -q '(the root window)'; then
            echo "$w"
            return
        fi
        w=$parent
    done
}

e2e_net_state() { xprop -id "$ZINTAR_WIN" _NET_WM_STATE; }

e2e_pixel() { "$E2E_BIN/zintar_probe" pixel "$1" "$2"; }
e2e_count() { "$E2E_BIN/zintar_probe" count "$@"; }
e2e_shot() { "$E2E_BIN/zintar_probe" shot "$E2E_TMP/$1.png"; }

# (mousemove --sync would wait for a move that never comes when the pointer is already there)
e2e_click() { xdotool mousemove "$1" "$2" sleep 0.05 click 1; }
e2e_right_click() { xdotool mousemove "$1" "$2" sleep 0.05 click 3; }
e2e_middle_click() { xdotool mousemove "$1" "$2" sleep 0.05 click 2; }
e2e_double_click() { xdotool mousemove "$1" "$2" sleep 0.05 click --repeat 2 --delay 80 1; }

# The last menu item the clock's trace named as highlighted.
e2e_highlighted() { grep -a 'Menu item: ' "$ZINTAR_LOG" | tail -n1 | sed 's/.*Menu item: //'; }

e2e_menu_choose() {
    local want=$1 sub=${2:-} i before
    e2e_wait_until 5 sh -c "xdotool search --onlyvisible --pid $ZINTAR_PID 2>/dev/null | wc -l | grep -qv '^1$'"
    for ((i = 0; i < 30; i++)); do
        before=$(grep -ac 'Menu item: ' "$ZINTAR_LOG")
        xdotool key Down
        e2e_wait_until 2 sh -c "[ \$(grep -ac 'Menu item: ' '$ZINTAR_LOG') -gt $before ]"
        [ "$(e2e_highlighted)" = "$want" ] && break
    done
    [ "$(e2e_highlighted)" = "$want" ] || {
        e2e_log "menu item '$want' not found"
        return 1
    }
    if [ -n "$sub" ]; then
        xdotool key Right
        sleep 0.3
        # The submenu opens with its first item highlighted or none; walk to the wanted one.
        for ((i = 0; i < 10; i++)); do
            [ "$(e2e_highlighted)" = "$sub" ] && break
            before=$(grep -ac 'Menu item: ' "$ZINTAR_LOG")
            xdotool key Down
            e2e_wait_until 2 sh -c "[ \$(grep -ac 'Menu item: ' '$ZINTAR_LOG') -gt $before ]"
        done
        [ "$(e2e_highlighted)" = "$sub" ] || {
            e2e_log "submenu item '$sub' not found"
            return 1
        }
    fi
    xdotool key Return
    sleep 0.5
}

e2e_tray_icon_pos() {
    # The icon is the embedded window that tint2's tray holds: the clock's only window that
    # is 16 to 64 pixels square and not the clock itself.
    local w geom
    for w in $(e2e_search --onlyvisible --pid "$ZINTAR_PID"); do
        [ "$w" = "$ZINTAR_WIN" ] && continue
        geom=$(xwininfo -id "$w" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
            /Width:/{w=$2} /Height:/{h=$2} END{if (w <= 64 && h <= 64) print int(x + w / 2), int(y + h / 2)}')
        [ -n "$geom" ] && {
            echo "$geom"
            return 0
        }
    done
    return 1
}

e2e_check() {
    local name=$1
    shift
    if "$@"; then
        E2E_PASSED=$((E2E_PASSED + 1))
        echo "PASS: $name"
    else
        E2E_FAILED=$((E2E_FAILED + 1))
        echo "FAIL: $name"
        e2e_shot "fail-$E2E_FAILED" 2>/dev/null || true
    fi
}

e2e_expect_eq() {
    local name=$1 want=$2 got=$3
    if [ "$want" = "$got" ]; then
        E2E_PASSED=$((E2E_PASSED + 1))
        echo "PASS: $name"
    else
        E2E_FAILED=$((E2E_FAILED + 1))
        echo "FAIL: $name: want '$want', got '$got'"
        e2e_shot "fail-$E2E_FAILED" 2>/dev/null || true
    fi
}

# True when two RRGGBB colours differ by at most TOL in every channel.
e2e_color_near() {
    local a=$1 b=$2 tol=$3 i
    for i in 0 2 4; do
        local x=$((16#${a:$i:2})) y=$((16#${b:$i:2}))
        local d=$((x > y ? x - y : y - x))
        ((d <= tol)) || return 1
    done
}

e2e_expect_pixel() {
    local x=$1 y=$2 want=$3 tol=$4 name=$5 got
    got=$(e2e_pixel "$x" "$y")
    if e2e_color_near "$want" "$got" "$tol"; then
        E2E_PASSED=$((E2E_PASSED + 1))
        echo "PASS: $name"
    else
        E2E_FAILED=$((E2E_FAILED + 1))
        echo "FAIL: $name: pixel $x,$y want $want got $got"
        e2e_shot "fail-$E2E_FAILED" 2>/dev/null || true
    fi
}

e2e_not() { ! "$@"; }

e2e_finish() {
    echo "e2e: $E2E_PASSED passed, $E2E_FAILED failed"
    [ "$E2E_FAILED" -eq 0 ]
}
