# First start with an empty per-user folder: a round, frameless, top-most clock at 100, 100
# twips with a 128 x 128 client area, and the default settings written at once.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_zintar

read -r x y w h < <(e2e_geometry)
e2e_expect_eq "client area is 128 x 128" "128 128" "$w $h"
e2e_expect_eq "placed at 100, 100 twips (7, 7 pixels at 96 dpi)" "7 7" "$x $y"
frame=$(e2e_frame)
e2e_expect_eq "no frame around the client area" "128 128" \
    "$(xwininfo -id "$frame" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')"
e2e_check "on top of other windows" sh -c "xprop -id $ZINTAR_WIN _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE"
e2e_check "not in the taskbar" sh -c "xprop -id $ZINTAR_WIN _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR"
e2e_expect_pixel $((x + 2)) $((y + 2)) "$E2E_DESKTOP" 0 "desktop shows just outside the ellipse"
e2e_expect_pixel $((x + 125)) $((y + 125)) "$E2E_DESKTOP" 0 "desktop shows at the opposite corner"
centre=$(e2e_pixel $((x + 64)) $((y + 64)))
e2e_check "the face shows at the centre ($centre)" test "$centre" != "$E2E_DESKTOP"
inside=$(e2e_pixel $((x + 64)) $((y + 4)))
e2e_check "the face reaches the top of the ellipse ($inside)" test "$inside" != "$E2E_DESKTOP"

expected=$(printf '%s\r\n' "[Style]" "Bitmap=$E2E_BIN/pics/watch2.bmp" "HourColor=333333" \
    "MinuteColor=666666" "SecondsColor=4040FF" "HourWidth=8" "MinuteWidth=4" "SecondsWidth=2" \
    "" "[Window]" "Borderless=True" "AlwaysOnTop=-1" "Transparent=False" "WindowX=100" \
    "WindowY=100" "SizeX=128" "SizeY=128" "" "[Alarms]" "AlarmsCount=0")
e2e_check "mysettings.ini exists after the first activation" test -f "$E2E_SETTINGS"
e2e_expect_eq "mysettings.ini holds the defaults" "$(printf '%s' "$expected" | od -c)" \
    "$(printf '%s' "$(cat "$E2E_SETTINGS")" | od -c)"
e2e_finish
