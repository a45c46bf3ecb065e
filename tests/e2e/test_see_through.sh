# The see-through face shows the desktop behind the clock with the sixty dots, the clock is
# not in its own capture, and a double-click takes the capture again.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
ZINTAR_EXE="$E2E_BIN/zintar_seethrough" e2e_start_zintar

read -r x y w h < <(e2e_geometry)
e2e_expect_eq "client area" "128 128" "$w $h"
# Away from hands and dots the face is the desktop, not the clock's white.
for where in "40 40" "88 40" "40 88" "88 88" "64 30" "64 98"; do
    read -r dx dy <<<"$where"
    p=$(e2e_pixel $((x + dx)) $((y + dy)))
    hand=0
    e2e_color_near "$p" "$E2E_DESKTOP" 6 || hand=1
    [ $hand = 0 ] && ground=$((${ground:-0} + 1))
done
e2e_check "the face shows the desktop colour (${ground:-0} of 6 spots)" test "${ground:-0}" -ge 4
# Hour dots (hour colour 333333) at 3, 6, 9 and 12 o'clock; minute dots (666666) beside them.
for dot in "114 63" "63 114" "12 63" "63 12"; do
    read -r dx dy <<<"$dot"
    e2e_expect_pixel $((x + dx)) $((y + dy)) 333333 30 "hour dot at $dx,$dy"
done
e2e_expect_pixel $((x + 120)) $((y + 69)) 666666 40 "minute dot at 120,69"
e2e_expect_pixel $((x + 2)) $((y + 2)) "$E2E_DESKTOP" 0 "round: desktop outside the ellipse"

old=$E2E_DESKTOP
e2e_set_desktop 2E8B57
sleep 1.2
e2e_expect_pixel $((x + 40)) $((y + 88)) "$old" 6 "the face keeps its capture while the desktop changes"
e2e_expect_pixel $((x + 2)) $((y + 2)) 2E8B57 0 "outside the ellipse the new desktop shows"
e2e_double_click $((x + 40)) $((y + 40))
e2e_wait_until 3 sh -c "'$E2E_BIN/zintar_probe' pixel $((x + 40)) $((y + 88)) | grep -q 2E8B57"
sleep 1.2 # the new face shows with the next second's frame
e2e_expect_pixel $((x + 40)) $((y + 88)) 2E8B57 6 "double-click recaptured the new desktop colour"
e2e_expect_pixel $((x + 114)) $((y + 63)) 333333 30 "the dots are painted on the new capture"

# A window that appears behind the clock's top-left corner while the clock stands still is
# taken into the face by the tick's watch; the clock is on top, so the window is behind it.
xev -geometry 100x100+0+0 >/dev/null 2>&1 &
E2E_PIDS+=($!)
xev_found() { xev_win=$(e2e_search --onlyvisible --name '^Event Tester$' | head -n1) && [ -n "$xev_win" ]; }
xev_win=""
e2e_wait_until 5 xev_found
read -r ex ey ew eh < <(xwininfo -id "$xev_win" |
    awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
px=$(((ex + ew / 2 + x) / 2)) # inside both the new window and the clock
py=$(((ey + eh / 2 + y + 64) / 2))
e2e_check "the new window is inside the clock's area at $px,$py" test "$px" -gt $((x + 10)) -a "$py" -gt $((y + 10))
e2e_wait_until 4 sh -c "'$E2E_BIN/zintar_probe' pixel $px $py | grep -q FFFFFF"
e2e_expect_pixel "$px" "$py" FFFFFF 8 "the face took in the window that appeared behind the corner"
e2e_expect_pixel $((x + 110)) $((y + 110)) 2E8B57 6 "and still shows the desktop beside it"
e2e_finish
