#!/usr/bin/env bash
# A clock that the window manager lets go of right after it first shows (unmapped, no WM_STATE,
# as a loaded openbox has left it) maps itself again within a few seconds.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_zintar
xdotool windowunmap "$ZINTAR_WIN"
viewable() { xwininfo -id "$ZINTAR_WIN" | grep -q 'Map State: IsViewable'; }
e2e_check "taken off the screen" e2e_not viewable
e2e_check "the clock shows itself again" e2e_wait_until 12 viewable
e2e_check "and says so in its trace" grep -q "had let go of the clock" "$ZINTAR_LOG"
e2e_check "held by the window manager again" sh -c "xprop -id $ZINTAR_WIN WM_STATE | grep -q 'Normal'"
e2e_stop_zintar
e2e_finish
