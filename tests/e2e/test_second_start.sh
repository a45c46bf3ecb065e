#!/usr/bin/env bash
# The framed clock started at the top edge of the screen, with no minimise or maximise button;
# a click on the tray icon and a second start of the program both bring a minimised clock
# back, and the second start ends at once; "Start with the &desktop" makes and removes the
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
# 8 and 16, no 32 and 64); openbox keeps a minimise button whatever they say, but a fixed
# size takes away maximising.
read -r _ functions decorations _ < <(xprop -id "$ZINTAR_WIN" _MOTIF_WM_HINTS | sed 's/.*= //; s/,//g')
e2e_check "no minimise or maximise asked of the frame ($functions, $decorations)" \
    test $((functions & 0x18)) = 0 -a $((decorations & 0x60)) = 0
e2e_check "the window manager offers no maximising" \
    e2e_not sh -c "xprop -id $ZINTAR_WIN _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE"

hidden() { e2e_net_state | grep -q _NET_WM_STATE_HIDDEN; }
viewable() { xwininfo -id "$ZINTAR_WIN" | grep -q IsViewable && e2e_not hidden; }
xdotool windowminimize "$ZINTAR_WIN"
e2e_wait_until 3 e2e_not viewable
read -r tx ty < <(e2e_tray_icon_pos)
e2e_click "$tx" "$ty"
e2e_check "a click on the tray icon brings the clock back" e2e_wait_until 5 viewable

xdotool windowminimize "$ZINTAR_WIN"
e2e_wait_until 3 e2e_not viewable
started=$(date +%s%N)
"$E2E_BIN/zintar" >"$E2E_TMP/second.log" 2>&1
status=$?
took=$((($(date +%s%N) - started) / 1000000))
e2e_expect_eq "the second start ends with status 0" 0 "$status"
e2e_check "and says why in one line" test "$(grep -c 'already running' "$E2E_TMP/second.log")" = 1
e2e_check "the running clock came back" e2e_wait_until 5 viewable
e2e_expect_eq "still one clock" 1 "$(pgrep -c -x zintar)"
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
