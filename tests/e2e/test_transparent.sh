# "Transparent - click-thru": half opacity under a compositor, clicks reach the window
# underneath, the mode is saved and re-applied, and the tray's menu turns it off again.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_compositor
e2e_start_zintar

# A window under the clock that reports the clicks it gets.
xev -geometry 300x300+0+0 -event button >"$E2E_TMP/xev.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait_until 5 sh -c "xdotool search --onlyvisible --name '^Event Tester$' | grep -q ."
presses() { grep -c ButtonPress "$E2E_TMP/xev.log"; }

read -r x y w h < <(e2e_geometry)
cx=$((x + w / 2))
cy=$((y + h / 2))
e2e_click "$cx" "$cy"
sleep 0.3
e2e_expect_eq "an opaque clock takes its own clicks" 0 "$(presses)"

e2e_right_click "$cx" "$cy"
e2e_menu_choose "Transparent - click-thru"
e2e_expect_eq "saved" "True" "$(e2e_ini_value Window Transparent)"
e2e_check "half opacity asked of the compositor" sh -c "xprop -id $ZINTAR_WIN _NET_WM_WINDOW_OPACITY | grep -q 2155905152"
e2e_wait_until 3 true
sleep 0.5
e2e_click "$cx" "$cy"
e2e_wait_until 3 sh -c "grep -q ButtonPress '$E2E_TMP/xev.log'"
e2e_expect_eq "a click passes through to the window underneath" 1 "$(presses)"

e2e_stop_zintar
e2e_start_zintar
sleep 0.5
e2e_check "restart: half opacity re-applied" sh -c "xprop -id $ZINTAR_WIN _NET_WM_WINDOW_OPACITY | grep -q 2155905152"
e2e_click "$cx" "$cy"
e2e_wait_until 3 sh -c "[ \$(grep -c ButtonPress '$E2E_TMP/xev.log') -ge 2 ]"
e2e_expect_eq "restart: clicks pass through again" 2 "$(presses)"

# The clock takes no clicks now: its tray icon opens the menu.
read -r tx ty < <(e2e_tray_icon_pos)
e2e_right_click "$tx" "$ty"
e2e_menu_choose "Transparent - click-thru"
e2e_expect_eq "off from the tray's menu: saved" "False" "$(e2e_ini_value Window Transparent)"
e2e_check "off: fully opaque" sh -c "! xprop -id $ZINTAR_WIN _NET_WM_WINDOW_OPACITY | grep -q 2155905152"
e2e_click "$cx" "$cy"
sleep 0.5
e2e_expect_eq "off: the clock takes its clicks again" 2 "$(presses)"
e2e_finish
