# "Transparent - click-thru": half opacity, clicks reach the window underneath, saved and
# re-applied; the tray's menu turns it off again. A stored mode waits for a compositing
# manager that starts later, and can be switched off while none runs.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
start_compositor() {
    e2e_bg xcompmgr && CM_PID=$! && e2e_wait_until 10 e2e_owner _NET_WM_CM_S0 || e2e_die "no xcompmgr"
}
start_compositor
e2e_start_zintar
e2e_bg sh -c "exec xev -geometry 300x300+0+0 -event button >'$E2E_TMP/xev.log' 2>&1" # a window underneath that logs its clicks
e2e_wait_until 5 sh -c "xdotool search --onlyvisible --name '^Event Tester$' | grep -q ."
presses() { grep -c ButtonPress "$E2E_TMP/xev.log"; }
half() { xprop -id "$ZINTAR_WIN" _NET_WM_WINDOW_OPACITY | grep -q 2155905152; }
read -r x y w h < <(e2e_geometry)
cx=$((x + w / 2)) cy=$((y + h / 2))
click_through() { # NAME PRESSES: clicks the clock and counts what the window underneath got
    e2e_click "$cx" "$cy"
    sleep 0.3
    e2e_wait_until 2 sh -c "[ \$(grep -c ButtonPress '$E2E_TMP/xev.log') -ge $2 ]"
    e2e_expect_eq "$1" "$2" "$(presses)"
}
click_through "an opaque clock takes its own clicks" 0

e2e_right_click "$cx" "$cy"
e2e_menu_choose "Transparent - click-thru"
e2e_expect_eq "saved" "True" "$(e2e_ini_value Window Transparent)"
e2e_check "half opacity asked of the compositor" half
sleep 0.5
click_through "a click passes through to the window underneath" 1

e2e_stop_zintar
e2e_start_zintar
e2e_check "restart: half opacity re-applied" e2e_wait_until 2 half
click_through "restart: clicks pass through again" 2

read -r tx ty < <(e2e_tray_icon_pos)
e2e_right_click "${tx:-0}" "${ty:-0}"
e2e_menu_choose "Transparent - click-thru"
e2e_expect_eq "off from the tray's menu: saved" "False" "$(e2e_ini_value Window Transparent)"
e2e_check "off: fully opaque" e2e_not half
click_through "off: the clock takes its clicks again" 2

e2e_stop_zintar
kill "$CM_PID" && e2e_wait_until 5 e2e_not e2e_owner _NET_WM_CM_S0
sed -i 's/^Transparent=False/Transparent=True/' "$E2E_SETTINGS"
e2e_start_zintar
e2e_check "no compositor: opaque" e2e_not half
click_through "no compositor: the clock takes its clicks" 2
sleep 3
start_compositor
e2e_check "a compositor started later: half opacity" e2e_wait_until 5 half
sleep 0.5
click_through "and clicks pass through" 3
kill "$CM_PID" && e2e_wait_until 5 e2e_not e2e_owner _NET_WM_CM_S0
e2e_check "the compositor gone: opaque again" e2e_wait_until 5 e2e_not half
click_through "and the clock takes its clicks" 3
e2e_right_click "$cx" "$cy"
e2e_menu_choose "Transparent - click-thru"
e2e_expect_eq "switched off without a compositor: saved" "False" "$(e2e_ini_value Window Transparent)"
e2e_finish
