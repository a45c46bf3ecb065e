#!/usr/bin/env bash
# The framed clock started at the top edge of the screen, with no minimise or maximise button;
# a click on the tray icon and a second start of the program both bring a covered clock to
# the front, and the second start ends at once; "Start with the &desktop" makes and removes the
# autostart entry.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_write_settings "[Window]
Borderless=False
AlwaysOnTop=0
WindowX=1500
WindowY=0"
e2e_start_zintar
read -r left right top bottom < <(e2e_frame_extents | tr -d ,)
read -r x y w h < <(e2e_geometry)
e2e_check "the title bar is on the screen (frame top $top, client at $y)" test "$y" -ge "$top" -a "$top" -gt 0
# The Motif hints ask for a frame without minimise and maximise (functions and buttons: no
# 8 and 16, no 32 and 64), and the window manager offers neither.
read -r _ functions decorations _ < <(xprop -id "$ZINTAR_WIN" _MOTIF_WM_HINTS | sed 's/.*= //; s/,//g')
e2e_check "no minimise or maximise asked of the frame ($functions, $decorations)" \
    test $((functions & 0x18)) = 0 -a $((decorations & 0x60)) = 0
no_buttons() { e2e_not sh -c "xprop -id $ZINTAR_WIN _NET_WM_ALLOWED_ACTIONS | grep -q 'MINIMIZE\|MAXIMIZE'"; }
e2e_check "the window manager offers no minimising or maximising" no_buttons
# A change of the stay-on-top state gives the clock a new X window.
toggle() {
    e2e_find_window
    read -r x y w h < <(e2e_geometry)
    e2e_right_click $((x + w / 2)) $((y + h / 2))
    e2e_menu_choose "$1"
}
toggle "On &Top"
renewed() { sleep 1 && e2e_find_window && no_buttons; }
e2e_check "nor after a new window for the top band" renewed
"$E2E_BIN/zintar_probe" shot "$E2E_TMP/framed.png"
toggle "On &Top"
e2e_find_window

# Another window covers the clock.
e2e_bg xev -geometry 300x300+0+0
xev_win() { e2e_search --onlyvisible --name '^Event Tester$' | head -n1; }
e2e_wait_until 5 xev_win
in_front() { # the clock above the other window in the stacking order
    local order id i=0 pc=-1 px=-1
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
    for id in $order; do
        ((id == ZINTAR_WIN)) && pc=$i
        ((id == $(xev_win))) && px=$i
        i=$((i + 1))
    done
    ((pc >= 0 && px >= 0 && pc > px))
}
viewable() { xwininfo -id "$ZINTAR_WIN" | grep -q IsViewable; }
e2e_wait_until 3 e2e_not in_front
read -r tx ty < <(e2e_tray_icon_pos)
e2e_click "$tx" "$ty"
e2e_check "a click on the tray icon brings a covered clock to the front" e2e_wait_until 5 in_front

xdotool windowactivate --sync "$(xev_win)" 2>/dev/null
e2e_wait_until 3 e2e_not in_front
started=$(date +%s%N)
"$E2E_BIN/zintar" >"$E2E_TMP/second.log" 2>&1
status=$?
took=$((($(date +%s%N) - started) / 1000000))
e2e_expect_eq "the second start ends with status 0" 0 "$status"
e2e_check "and says why in one line" test "$(grep -c 'already running' "$E2E_TMP/second.log")" = 1
e2e_check "the running clock came to the front" e2e_wait_until 5 in_front
e2e_expect_eq "still one clock on the screen" 1 "$(e2e_search --onlyvisible --name '^Zintar!  - ' | wc -l)"
e2e_log "second start took $took ms"

entry="$XDG_CONFIG_HOME/autostart/zintar.desktop"
toggle_autostart() {
    e2e_find_window
    read -r x y w h < <(e2e_geometry)
    e2e_right_click $((x + w / 2)) $((y + h / 2))
    e2e_menu_choose "Start with the &desktop"
}
toggle_autostart
e2e_check "\"Start with the desktop\" writes the autostart entry" \
    grep -qx "Exec=$(readlink -f "$E2E_BIN/zintar")" "$entry"
e2e_check "and keeps the settings file's layout" e2e_not grep -qi autostart "$E2E_SETTINGS"
toggle_autostart
e2e_check "chosen again, it removes the entry" test ! -e "$entry"
"$E2E_BIN/zintar" --autostart on
toggle_autostart
e2e_check "the check mark follows an entry made outside the clock" test ! -e "$entry"
e2e_finish
