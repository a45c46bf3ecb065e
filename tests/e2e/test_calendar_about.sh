# "&Calendar..." and "About..." from the clock's menu: the calendar at today with a 238 x 256
# client, more months when maximised, closed by Enter; the About window above the top-most
# clock, one window when the item is used twice (the second time from the tray), closed by Enter.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop 1024x768
e2e_start_zintar env LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="@2026-12-05 09:00:00"
shot() { [ -n "${E2E_SHOTS:-}" ] && "$E2E_BIN/zintar_probe" shot "$E2E_SHOTS/$1.png"; true; }
named() { e2e_search --all --onlyvisible --pid "$ZINTAR_PID" --name "^$1\$"; }
shown() { [ -n "$(named "$1")" ]; }
count() { named "$1" | wc -l; }
menu() {
    read -r x y w h < <(e2e_geometry)
    e2e_right_click $((x + w / 2)) $((y + h / 2))
    e2e_menu_choose "$1"
}

menu "&Calendar..."
e2e_check "\"&Calendar...\" opens the calendar" e2e_wait_until 5 shown Calendar
cal=$(named Calendar | head -n1)
read -r cx cy cw ch < <(e2e_geometry "$cal")
e2e_expect_eq "the calendar's client area" "238 256" "$cw $ch"
shot calendar
e2e_check "the calendar has the program's icon" e2e_has_icon "$cal"
e2e_check "the calendar has no owner" test "$(xprop -id "$cal" WM_TRANSIENT_FOR 2>&1 | grep -c window)" = 0
wmctrl -i -r "$cal" -b add,maximized_vert,maximized_horz
big() { read -r _ _ bw bh < <(e2e_geometry "$cal") && ((bw > 700)); }
e2e_check "the calendar maximises" e2e_wait_until 5 big
sleep 0.5
shot calendar_maximised
read -r bx by bw bh < <(e2e_geometry "$cal")
# Months of 239 x 214 over a status strip of 41, at most twelve: as many as fit.
columns=$(awk -v w="$bw" 'BEGIN{c = w / 239; r = int(c + 0.5); if (r - c == 0.5 && r % 2) r--; print r}')
rows=$(awk -v h="$bh" 'BEGIN{c = (h - 41) / 214; r = int(c + 0.5); if (r - c == 0.5 && r % 2) r--; print r}')
((columns * rows > 12)) && rows=1 # refused: the rows stay as they were
e2e_log "maximised to $bw x $bh: $columns x $rows months"
e2e_check "the maximised calendar shows more than one month" test $((columns * rows)) -gt 1
# Each month has a navigation bar along its top, coloured like the first one's (sampled
# right of the clock, which covers the first month's corner).
bar=$(e2e_pixel $((bx + 200)) $((by + 6)))
bars=0
for ((r = 0; r < rows; r++)); do
    for ((c = 0; c < columns; c++)); do
        [ "$(e2e_pixel $((bx + c * 239 + 200)) $((by + r * 214 + 6)))" = "$bar" ] && bars=$((bars + 1))
    done
done
e2e_expect_eq "a month in every place that fits" $((columns * rows)) "$bars"
if (((columns + 1) * 239 <= bw)); then
    e2e_check "no month beyond them" test "$(e2e_pixel $((bx + columns * 239 + 200)) $((by + 6)))" != "$bar"
fi
xdotool windowactivate --sync "$cal" 2>/dev/null
xdotool key Return
e2e_check "Enter closes the calendar" e2e_wait_until 5 e2e_not shown Calendar
e2e_check "the clock runs on" kill -0 "$ZINTAR_PID"

menu "About..."
e2e_check "\"About...\" opens the About window" e2e_wait_until 5 shown "About Zintar..."
about=$(named "About Zintar..." | head -n1)
read -r ax ay aw ah < <(e2e_geometry "$about")
e2e_expect_eq "the About window's client area" "267 214" "$aw $ah"
e2e_check "the About window has the program's icon" e2e_has_icon "$about"
above_about() { xprop -id "$about" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
e2e_check "the About window is in the top band with the clock" e2e_wait_until 5 above_about
before=$(e2e_windows)
xdotool mousemove $((ax + 30)) $((ay + 135)) sleep 0.1 mousemove $((ax + 32)) $((ay + 138))
tip() { [ "$(e2e_windows)" -gt "$before" ]; }
e2e_check "resting on the donate picture shows its tip" e2e_wait_until 5 tip
shot about
xdotool mousemove 600 600
e2e_wait_until 3 e2e_not tip
# The About window sits over the clock now: the tray icon's menu is the same.
read -r tx ty < <(e2e_tray_icon_pos)
e2e_right_click "$tx" "$ty"
e2e_menu_choose "About..."
sleep 0.5
e2e_expect_eq "the item used twice gives one window" 1 "$(count "About Zintar...")"
xdotool windowactivate --sync "$about" 2>/dev/null
xdotool key Return
e2e_check "Enter closes the About window" e2e_wait_until 5 e2e_not shown "About Zintar..."
e2e_check "the clock runs on" kill -0 "$ZINTAR_PID"
e2e_finish
