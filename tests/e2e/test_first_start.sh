# First start with an empty per-user folder: a round, frameless, top-most clock at 100, 100
# twips with a 128 x 128 client area, and the default settings written at once.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_zintar

read -r x y w h < <(e2e_geometry)
e2e_expect_eq "128 x 128 at 100, 100 twips (7, 7 pixels at 96 dpi)" "7 7 128 128" "$x $y $w $h"
read -r _ _ fw fh < <(e2e_geometry "$(e2e_frame)")
e2e_expect_eq "no frame around the client area" "128 128" "$fw $fh"
e2e_check "on top, not in the taskbar" sh -c "xprop -id $ZINTAR_WIN _NET_WM_STATE | grep _NET_WM_STATE_ABOVE | grep -q _NET_WM_STATE_SKIP_TASKBAR"
e2e_expect_pixel $((x + 2)) $((y + 2)) "$E2E_DESKTOP" 0 "desktop shows just outside the ellipse"
e2e_expect_pixel $((x + 125)) $((y + 125)) "$E2E_DESKTOP" 0 "desktop shows at the opposite corner"
for at in "64 64" "64 4"; do # the centre and the top of the ellipse
    p=$(e2e_pixel $((x + ${at% *})) $((y + ${at#* })))
    e2e_check "the face shows at $at ($p)" test "$p" != "$E2E_DESKTOP"
done

expected=$(printf '%s\r\n' "[Style]" "Bitmap=$E2E_BIN/pics/watch2.bmp" "HourColor=333333" \
    "MinuteColor=666666" "SecondsColor=4040FF" "HourWidth=8" "MinuteWidth=4" "SecondsWidth=2" \
    "" "[Window]" "Borderless=True" "AlwaysOnTop=-1" "Transparent=False" "WindowX=100" \
    "WindowY=100" "SizeX=128" "SizeY=128" "" "[Alarms]" "AlarmsCount=0" | od -c)
e2e_expect_eq "mysettings.ini holds the defaults after the first activation" "$expected" \
    "$(od -c "$E2E_SETTINGS")"
e2e_finish
