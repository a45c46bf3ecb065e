# A top-most clock at 09:04:50 without a tray: its own menu, the face after the menu, "&Alarms...";
# then a tray comes up and restarts; a left drag; "Exit" from the tray icon's menu.
source "$(dirname "$0")/lib.sh" "$1"
e2e_start_x && e2e_start_wm
e2e_start_zintar env LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="@2026-12-05 09:04:50"
said_once() { test "$(grep -c 'no system tray' "$ZINTAR_LOG")" = 1; }
e2e_check "says once on stderr that there is no tray" said_once
before=$(e2e_windows)
menu_open() { [ "$(e2e_windows)" -gt "$before" ]; }
read -r x y w h < <(e2e_geometry)
# The menu covers the upper left of the face, where the second hand is now (about 50 s).
e2e_right_click $((x + 24)) $((y + 24))
e2e_check "right click on the clock opens the menu" e2e_wait_until 3 menu_open
sleep 5 # the second hand moves on towards 12 under the menu
xdotool key Escape
e2e_wait_until 3 e2e_not menu_open
sleep 1
# An older second hand would show again between 50 and 55 s (300 to 330 degrees).
old=0
for deg in 300 306 312 318 324; do
    for r in 24 34 44; do
        read -r px py < <(awk -v d="$deg" -v r="$r" 'BEGIN{a = d * atan2(0, -1) / 180
            printf "%d %d\n", 64 + r * sin(a), 64 - r * cos(a)}')
        e2e_color_near "$(e2e_pixel $((x + px)) $((y + py)))" FF4040 60 && old=$((old + 1))
    done
done
e2e_expect_eq "no older second hand where the menu was" 0 "$old"
e2e_check "the current second hand shows" \
    test "$("$E2E_BIN/zintar_probe" count FF4040 60 "$x" "$y" "$w" "$h")" -gt 20

above() { e2e_net_state | grep -q _NET_WM_STATE_ABOVE; }
shown() { xdotool search --all --onlyvisible --pid "$ZINTAR_PID" --name "^$1\$" >/dev/null 2>&1; }
e2e_right_click $((x + w / 2)) $((y + h / 2))
e2e_menu_choose "&Alarms..."
e2e_check "the alarm list opens" e2e_wait_until 5 shown Alarms
e2e_check "the clock left the top band" e2e_not above
xdotool windowactivate --sync "$(e2e_search --all --onlyvisible --pid "$ZINTAR_PID" --name '^Alarms$' | head -n1)" 2>/dev/null
xdotool key alt+a
e2e_check "\"&Add\" opens the editor" e2e_wait_until 5 shown "New Alarm"
for title in Alarms "New Alarm"; do
    e2e_check "$title has the program's icon" e2e_has_icon "$(e2e_search --all --onlyvisible --pid "$ZINTAR_PID" --name "^$title\$" | head -n1)"
done
sleep 0.3
# Focus starts on the hour: Tab to the minute, Tab to "Once", Right chooses "Every Day",
# Tab past the minutes and "Show a message:" into the message.
xdotool key Tab Tab Right Tab Tab Tab ctrl+a
xdotool type --delay 20 "Stand-up meeting"
xdotool key alt+o
e2e_check "the editor's OK closes it" e2e_wait_until 5 e2e_not shown "New Alarm"
e2e_check "nothing is saved before the list's OK" test "$(e2e_ini_value Alarms AlarmsCount)" != 1
xdotool key alt+o
e2e_check "the list's OK closes it" e2e_wait_until 5 e2e_not shown Alarms
e2e_check "the clock is on top again" e2e_wait_until 3 above
ini() { for k in "$@"; do printf '%s;' "$(e2e_ini_value "${k%.*}" "${k#*.}")"; done; }
# The editor opens with the clock's time: 09:04 or, on a slow start, 09:05.
saved=$(ini Alarms.AlarmsCount Alarm1.Hour Alarm1.Minute Alarm1.Mode Alarm1.ShowMessage Alarm1.Message)
e2e_check "the alarm is saved with the clock's time ($saved)" \
    grep -qxE '1;9;[45];-1;True;Stand-up meeting;' <<<"$saved"

e2e_start_tray
e2e_check "the icon is added when a tray appears" e2e_wait_until 5 e2e_tray_icon_pos
kill "$E2E_TRAY_PID" && wait "$E2E_TRAY_PID" 2>/dev/null
e2e_wait_until 5 e2e_not e2e_owner _NET_SYSTEM_TRAY_S0
e2e_start_tray
e2e_check "the icon is added again when the panel restarts" e2e_wait_until 5 e2e_tray_icon_pos

xdotool mousemove $((x + 64)) $((y + 64)) sleep 0.05 mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove $((x + 64 + step * 40)) $((y + 64 + step * 30)) sleep 0.05
done
xdotool mouseup 1
sleep 0.5
read -r nx ny w h < <(e2e_geometry)
e2e_check "left-drag moved the clock ($x,$y -> $nx,$ny)" test "$nx" -gt $((x + 100))

read -r tx ty < <(e2e_tray_icon_pos)
before=$(e2e_windows)
e2e_right_click "${tx:-0}" "${ty:-0}"
e2e_check "right click on the re-added tray icon opens the menu" e2e_wait_until 3 menu_open
e2e_check "still said only once" said_once
e2e_menu_choose "Exit"
e2e_check "Exit ends the program" e2e_wait_exit 5
e2e_expect_eq "Exit stored the position in twips" "$((nx * 15)) $((ny * 15))" \
    "$(e2e_ini_value Window WindowX) $(e2e_ini_value Window WindowY)"
e2e_check "the tray no longer holds the icon" sh -c "! xwininfo -root -tree | grep -q '\"zintar\"'"
e2e_finish
