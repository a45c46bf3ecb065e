# Without a tray the clock says so once and works from its own menu; when a tray comes up,
# and again when the panel restarts, the icon is in it.
source "$(dirname "$0")/lib.sh" "$1"
e2e_start_x
e2e_start_wm
e2e_start_zintar
said_once() { test "$(grep -c 'no system tray' "$ZINTAR_LOG")" = 1; }
e2e_check "says once on stderr that there is no tray" said_once
before=$(e2e_windows)
menu_open() { [ "$(e2e_windows)" -gt "$before" ]; }
read -r x y w h < <(e2e_geometry)
e2e_right_click $((x + 64)) $((y + 64))
e2e_check "its own right click opens the menu" e2e_wait_until 3 menu_open
xdotool key Escape

e2e_start_tray
e2e_check "the icon is added when a tray appears" e2e_wait_until 5 e2e_tray_icon_pos
e2e_stop_tray
e2e_start_tray
e2e_check "the icon is added again when the panel restarts" e2e_wait_until 5 e2e_tray_icon_pos
read -r tx ty < <(e2e_tray_icon_pos)
before=$(e2e_windows)
e2e_right_click "${tx:-0}" "${ty:-0}"
e2e_check "the re-added icon opens the menu" e2e_wait_until 3 menu_open
e2e_check "still said only once" said_once
e2e_finish
