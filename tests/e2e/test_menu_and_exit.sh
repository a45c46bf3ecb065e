# The menu opens from a right click on the clock and on its tray icon; a left drag moves the
# clock; "Exit" stores the window's position and takes the icon out of the tray.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_zintar

before=$(e2e_windows)
menu_open() { [ "$(e2e_windows)" -gt "$before" ]; }
read -r x y w h < <(e2e_geometry)
e2e_right_click $((x + 64)) $((y + 64))
e2e_check "right click on the clock opens the menu" e2e_wait_until 3 menu_open
xdotool key Escape
e2e_wait_until 3 e2e_not menu_open

xdotool mousemove $((x + 64)) $((y + 64)) sleep 0.05 mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove $((x + 64 + step * 40)) $((y + 64 + step * 30)) sleep 0.05
done
xdotool mouseup 1
sleep 0.5
read -r nx ny w h < <(e2e_geometry)
e2e_check "left-drag moved the clock ($x,$y -> $nx,$ny)" test "$nx" -gt $((x + 100))

read -r tx ty < <(e2e_tray_icon_pos)
e2e_right_click "${tx:-0}" "${ty:-0}"
e2e_check "right click on the tray icon opens the menu" e2e_wait_until 3 menu_open
e2e_menu_choose "Exit"
e2e_check "Exit ends the program" e2e_wait_exit 5
e2e_expect_eq "Exit stored the position in twips" "$((nx * 15)) $((ny * 15))" \
    "$(e2e_ini_value Window WindowX) $(e2e_ini_value Window WindowY)"
e2e_check "the tray no longer holds the icon" sh -c "! xwininfo -root -tree | grep -q '\"zintar\"'"
e2e_finish
