#!/usr/bin/env bash
# Two daily alarms at 07:30, one with a message, one that runs a program; the wall clock
# starts at 07:29:50, leaving the program time to start on a busy machine.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop

marker="$E2E_TMP/alarm ran.txt"
script="$E2E_TMP/on alarm.sh"
printf '#!/bin/sh\ndate +%%H:%%M:%%S >"$1.part" && mv "$1.part" "$1"\n' >"$script" && chmod +x "$script"
alarm() { # N ShowMessage Message RunProgram Program
    printf '[Alarm%s]\nShowMessage=%s\nMessage=%s\nRepeatMinutes=0\nRunProgram=%s\nProgram=%s\n' "$@"
    printf 'PlaySound=False\nSound=\nHour=7\nMinute=30\nMode=-1\n\n'
}
e2e_write_settings "[Style]
Bitmap=$E2E_BIN/pics/watch2.bmp
[Window]
Borderless=False
AlwaysOnTop=0
WindowX=1500
WindowY=1500
[Alarms]
AlarmsCount=2
$(alarm 1 True 'Stand-up§Room 4' False '')
$(alarm 2 False '' True "\"$script\" \"$marker\"")"
e2e_start_zintar faketime "2026-03-02 07:29:50"
# The user has gone to another desktop, away from the clock.
wmctrl -s 1 && e2e_wait_until 3 sh -c "xprop -root _NET_CURRENT_DESKTOP | grep -q '= 1$'"
alarm_window() { xdotool search --all --onlyvisible --pid "$ZINTAR_PID" --name '^Zintar! - Alarm$' 2>/dev/null; }
has_alarm_window() { [ -n "$(alarm_window)" ]; }
e2e_check "a notification window opens" e2e_wait_until 30 has_alarm_window
win=$(alarm_window | head -n1)
e2e_check "it shows 07:30 and the message" e2e_wait_log "Alarm window: 07:30 Stand-up | Room 4" 5
e2e_check "the alarm program ran" e2e_wait_until 10 test -f "$marker"
ran_at=$(cat "$marker" 2>/dev/null)
e2e_check "it ran at 07:30:00 (got '$ran_at')" test "${ran_at:0:7}" = "07:30:0"
e2e_check "it is shown on the current desktop" sh -c \
    "xprop -id '$win' _NET_WM_DESKTOP | grep -Eq '= (1|4294967295)$' && xwininfo -id '$win' | grep -q IsViewable"
e2e_check "the notification is on top" e2e_wait_until 5 sh -c \
    "xprop -id '$win' _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE"
# Its size is fixed (minimum = maximum) and the window manager keeps it so.
hints=$(xprop -id "$win" WM_NORMAL_HINTS)
min=$(sed -n 's/.*minimum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p' <<<"$hints")
max=$(sed -n 's/.*maximum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p' <<<"$hints")
read -r _ _ ww wh < <(e2e_geometry "$win")
e2e_check "a fixed size ($min / $max)" test -n "$min" -a "$min" = "$max"
e2e_expect_eq "the window has that size" "$min" "$ww $wh"
e2e_check "the notification shows the program's icon" e2e_has_icon "$win"
xdotool windowactivate --sync "$win" 2>/dev/null
xdotool key Return # answers the Close button
e2e_check "Enter closes it" e2e_wait_until 5 e2e_not has_alarm_window
e2e_check "the clock goes on running" kill -0 "$ZINTAR_PID"
e2e_finish
