# The menu opens from a right click on the clock and on its tray icon; "Exit" stores the
# window's position and takes the icon out of the tray.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_zintar

windows() { xdotool search --onlyvisible --pid "$ZINTAR_PID" 2>/dev/null | wc -l; }
before=$(windows)
read -r x y w h < <(e2e_geometry)
e2e_right_click $((x + 64)) $((y + 64))
e2e_check "right click on the clock opens the menu" e2e_wait_until 3 sh -c "[ \$(xdotool search --onlyvisible --pid $ZINTAR_PID | wc -l) -gt $before ]"
xdotool key Escape
e2e_wait_until 3 sh -c "[ \$(xdotool search --onlyvisible --pid $ZINTAR_PID | wc -l) -eq $before ]"

# Drag the clock somewhere else with the left button.
xdotool mousemove $((x + 64)) $((y + 64)) sleep 0.05 mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove $((x + 64 + step * 40)) $((y + 64 + step * 30))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.5
read -r nx ny w h < <(e2e_geometry)
e2e_check "left-drag moved the clock ($x,$y -> $nx,$ny)" test "$nx" -gt $((x + 100))

read -r tx ty < <(e2e_tray_icon_pos)
e2e_check "the tray holds the clock's icon" test -n "$tx"
e2e_right_click "$tx" "$ty"
e2e_check "right click on the tray icon opens the menu" e2e_wait_until 3 sh -c "[ \$(xdotool search --onlyvisible --pid $ZINTAR_PID | wc -l) -gt $before ]"
e2e_menu_choose "Exit"
e2e_check "Exit ends the program" e2e_wait_exit 5
e2e_expect_eq "Exit stored the position in twips" "$((nx * 15)) $((ny * 15))" \
    "$(e2e_ini_value Window WindowX) $(e2e_ini_value Window WindowY)"
e2e_check "the tray no longer holds the icon" sh -c "! xwininfo -root -tree | grep -q '\"zintar\"'"
e2e_finish
