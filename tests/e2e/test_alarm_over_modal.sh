#!/usr/bin/env bash
# An alarm comes due while the Alarms list is open (a modal window): its notification opens
# in front of the list and a click on its Close button closes it; the list then works again.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop

e2e_write_settings "[Style]
Bitmap=$E2E_BIN/pics/watch2.bmp
[Window]
Borderless=True
AlwaysOnTop=1
WindowX=300
WindowY=300
[Alarms]
AlarmsCount=1
[Alarm1]
ShowMessage=True
Message=Over the list
RepeatMinutes=0
RunProgram=False
Program=
PlaySound=False
Sound=
Hour=7
Minute=30
Mode=-1"
e2e_start_zintar faketime "2026-03-02 07:29:45"
shown() { xdotool search --all --onlyvisible --pid "$ZINTAR_PID" --name "^$1\$" 2>/dev/null | head -n1; }
is_shown() { [ -n "$(shown "$1")" ]; }
read -r x y w h < <(e2e_geometry)
e2e_right_click $((x + w / 2)) $((y + h / 2))
e2e_menu_choose "&Alarms..."
e2e_check "the alarm list opens" e2e_wait_until 5 is_shown Alarms
list=$(shown Alarms)
e2e_check "the notification opens while the list is open" e2e_wait_until 40 is_shown 'Zintar! - Alarm'
message=$(shown 'Zintar! - Alarm')
# Stacking order, bottom to top: the notification must come after the list.
in_front() {
    local order
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
    local i=0 pl=-1 pm=-1 id
    for id in $order; do
        (( id == list )) && pl=$i
        (( id == message )) && pm=$i
        i=$((i + 1))
    done
    ((pl >= 0 && pm > pl))
}
e2e_check "it is in front of the list" e2e_wait_until 5 in_front
read -r mx my mw mh < <(e2e_geometry "$message")
# " &Close " is the right-most button of the bottom row.
e2e_click $((mx + mw - 30)) $((my + mh - 22))
e2e_check "a click on Close closes it" e2e_wait_until 5 e2e_not is_shown 'Zintar! - Alarm'
xdotool windowactivate --sync "$list" 2>/dev/null
xdotool key Escape
e2e_check "the list takes the keyboard again (Esc closes it)" e2e_wait_until 5 e2e_not is_shown Alarms
e2e_check "the clock goes on running" kill -0 "$ZINTAR_PID"
e2e_finish
