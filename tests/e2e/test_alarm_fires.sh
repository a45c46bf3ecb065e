#!/usr/bin/env bash
# An alarm goes off in the real program. The wall clock starts at 07:29:50 (faketime), which
# leaves the program time to start on a busy machine before 07:30:00; two daily alarms at
# 07:30 are in mysettings.ini, one with a message, one that runs a program.
# At 07:30:00 the notification window shows the time and the message, on top, and the
# program runs with its arguments split as a shell would split them.
source "$(dirname "$0")/lib.sh" "$1"

e2e_desktop

marker="$E2E_TMP/alarm ran.txt"
script="$E2E_TMP/on alarm.sh"
# Records the time it ran (the faked clock reaches it too) and its second argument.
cat >"$script" <<'SCRIPT'
#!/bin/sh
{ date +%H:%M:%S; printf '%s\n' "$2"; } >"$1.part" && mv "$1.part" "$1"
SCRIPT
chmod +x "$script"

e2e_write_settings "[Style]
Bitmap=$E2E_BIN/pics/watch2.bmp
HourColor=333333
MinuteColor=666666
SecondsColor=4040FF
HourWidth=8
MinuteWidth=4
SecondsWidth=2

[Window]
Borderless=False
AlwaysOnTop=0
Transparent=False
WindowX=1500
WindowY=1500
SizeX=128
SizeY=128

[Alarms]
AlarmsCount=2

[Alarm1]
ShowMessage=True
Message=Stand-up§Room 4
RepeatMinutes=0
RunProgram=False
Program=
PlaySound=False
Sound=
Hour=7
Minute=30
Mode=-1

[Alarm2]
ShowMessage=False
Message=
RepeatMinutes=0
RunProgram=True
Program=\"$script\" \"$marker\" \"two words\"
PlaySound=False
Sound=
Hour=7
Minute=30
Mode=-1"

# Timers run on the real monotonic clock; only the wall clock is set.
e2e_start_zintar FAKETIME_DONT_FAKE_MONOTONIC=1 -- faketime "2026-03-02 07:29:50"

alarm_window() {
    xdotool search --all --onlyvisible --pid "$ZINTAR_PID" --name '^Zintar! - Alarm$' 2>/dev/null |
        head -n2
}
has_alarm_window() { [ -n "$(alarm_window)" ]; }
no_alarm_window() { [ -z "$(alarm_window)" ]; }

e2e_check "a notification window opens" e2e_wait_until 30 has_alarm_window
win=$(alarm_window | head -n1)
e2e_check "it shows 07:30 and the message" e2e_wait_log "Alarm window: 07:30 Stand-up | Room 4" 5
e2e_check "the alarm program ran" e2e_wait_until 10 test -f "$marker"
ran_at=$(sed -n 1p "$marker" 2>/dev/null)
e2e_check "it ran at 07:30:00 (got '$ran_at')" test "${ran_at:0:7}" = "07:30:0"
e2e_expect_eq "a quoted argument stays whole" "two words" "$(sed -n 2p "$marker" 2>/dev/null)"
e2e_check "only one notification window" test "$(alarm_window | wc -l)" = 1

if [ -n "$win" ]; then
    e2e_check "the notification is on top" e2e_wait_until 5 sh -c \
        "xprop -id $win _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE"
    e2e_shot alarm-window
    # Enter answers the Close button.
    xdotool windowactivate --sync "$win" 2>/dev/null
    xdotool key Return
    e2e_check "Enter closes it" e2e_wait_until 5 no_alarm_window
    e2e_check "the clock goes on running" kill -0 "$ZINTAR_PID"
fi

e2e_stop_zintar
e2e_finish
