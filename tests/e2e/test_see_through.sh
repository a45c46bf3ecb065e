# The see-through face shows the desktop behind the clock with the sixty dots, not the clock;
# a double-click and a window appearing behind the top-left corner take a new capture.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
# At 02:10 the hour and minute hands point between the dots and the spots looked at below;
# only the second hand passes over them, so a check on the face waits for it to move on.
ZINTAR_EXE="$E2E_BIN/zintar_seethrough" e2e_start_zintar env LD_PRELOAD="$E2E_FAKETIME_LIB" \
    FAKETIME="@2026-12-05 02:10:05"
pixel_is() { e2e_color_near "$3" "$(e2e_pixel "$1" "$2")" "$4"; }
expect_on_face() { # X Y RRGGBB TOL NAME
    e2e_wait_until 5 pixel_is "$1" "$2" "$3" "$4"
    e2e_expect_pixel "$@"
}
read -r x y w h < <(e2e_geometry)
ground=0 # away from hands and dots the face is the desktop, not the clock's white
for where in "40 40" "88 40" "40 88" "88 88" "64 30" "64 98"; do
    read -r dx dy <<<"$where"
    e2e_color_near "$(e2e_pixel $((x + dx)) $((y + dy)))" "$E2E_DESKTOP" 6 && ground=$((ground + 1))
done
e2e_check "the face shows the desktop colour ($ground of 6 spots)" test "$ground" -ge 4
dots() { # hour dots (333333) at 3, 6, 9 and 12 o'clock
    for dot in "114 63" "63 114" "12 63" "63 12"; do
        read -r dx dy <<<"$dot"
        expect_on_face $((x + dx)) $((y + dy)) 333333 30 "$1: hour dot at $dx,$dy"
    done
}
dots first
expect_on_face $((x + 120)) $((y + 69)) 666666 40 "minute dot at 120,69"
e2e_expect_pixel $((x + 2)) $((y + 2)) "$E2E_DESKTOP" 0 "round: desktop outside the ellipse"

old=$E2E_DESKTOP
e2e_set_desktop 2E8B57
sleep 1.2
expect_on_face $((x + 40)) $((y + 88)) "$old" 6 "the face keeps its capture while the desktop changes"
e2e_expect_pixel $((x + 2)) $((y + 2)) 2E8B57 0 "outside the ellipse the new desktop shows"
xdotool mousemove $((x + 40)) $((y + 40)) sleep 0.05 click --repeat 2 --delay 80 1
expect_on_face $((x + 40)) $((y + 88)) 2E8B57 6 "double-click recaptured the new desktop colour"
dots recaptured

# The clock is on top, so the new window is behind it.
e2e_bg xev -geometry 100x100+0+0
xev_win() { e2e_search --onlyvisible --name '^Event Tester$' | head -n1; }
e2e_wait_until 5 xev_win
read -r ex ey ew eh < <(e2e_geometry "$(xev_win)")
px=$(((ex + ew / 2 + x) / 2)) # inside both the new window and the clock
py=$(((ey + eh / 2 + y + 64) / 2))
e2e_wait_until 4 sh -c "'$E2E_BIN/zintar_probe' pixel $px $py | grep -q FFFFFF"
e2e_expect_pixel "$px" "$py" FFFFFF 8 "the face took in the window that appeared behind the corner"
expect_on_face $((x + 110)) $((y + 110)) 2E8B57 6 "and still shows the desktop beside it"

# The window behind moves away: the clock learns it from the X server's events.
xdotool windowmove "$(xev_win)" 600 400
e2e_wait_until 4 sh -c "'$E2E_BIN/zintar_probe' pixel $px $py | grep -qv FFFFFF"
expect_on_face "$px" "$py" 2E8B57 6 "the face let go of the window that moved away"
e2e_finish
