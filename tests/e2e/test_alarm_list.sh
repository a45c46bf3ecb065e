# "&Alarms..." from the context menu: "&Add" opens the editor, an alarm at 09:05 every day with
# a message is added with the keyboard, and the list's OK writes it to mysettings.ini. A
# top-most clock leaves the top band while the list is open.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_write_settings "[Window]
AlwaysOnTop=-1"
# The editor opens with the clock's time: 09:05.
e2e_start_zintar LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="@2026-12-05 09:05:00" \
    FAKETIME_DONT_FAKE_MONOTONIC=1

above() { e2e_net_state | grep -q _NET_WM_STATE_ABOVE; }
shown() { xdotool search --all --onlyvisible --pid "$ZINTAR_PID" --name "^$1\$" >/dev/null 2>&1; }
e2e_check "the clock starts on top" above

read -r x y w h < <(e2e_geometry)
e2e_right_click $((x + w / 2)) $((y + h / 2))
e2e_menu_choose "&Alarms..."
e2e_check "the alarm list opens" e2e_wait_until 5 shown Alarms
e2e_check "the clock left the top band" e2e_not above
xdotool windowactivate --sync "$(e2e_search --all --onlyvisible --pid "$ZINTAR_PID" --name '^Alarms$' | head -n1)" 2>/dev/null
xdotool key alt+a
e2e_check "\"&Add\" opens the editor" e2e_wait_until 5 shown "New Alarm"
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
e2e_expect_eq "the alarm is saved" "1;9;5;-1;True;Stand-up meeting;" \
    "$(ini Alarms.AlarmsCount Alarm1.Hour Alarm1.Minute Alarm1.Mode Alarm1.ShowMessage Alarm1.Message)"
e2e_finish
