# First start with an empty per-user folder and the wall clock at 03:00:00: a round, frameless,
# top-most clock at 100, 100 twips, 128 x 128, with the default settings written at once and the
# hour hand pointing right, the others up. A stored position off the screen is pulled back.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop 1024x768
e2e_start_zintar env LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="2026-12-05 03:00:00"
e2e_check "the program saw 03:00:00" e2e_wait_log "Start at 03:00:00" 5
read -r x y w h < <(e2e_geometry)
e2e_expect_eq "128 x 128 at 100, 100 twips (7, 7 pixels at 96 dpi)" "7 7 128 128" "$x $y $w $h"
e2e_expect_eq "no frame around the client area" "0, 0, 0, 0" "$(e2e_frame_extents)"
e2e_check "on top, not in the taskbar" sh -c "xprop -id $ZINTAR_WIN _NET_WM_STATE | grep _NET_WM_STATE_ABOVE | grep -q _NET_WM_STATE_SKIP_TASKBAR"
e2e_check "the program's own icon and class" sh -c "xprop -id $ZINTAR_WIN _NET_WM_ICON | grep -q 'Icon (16 x 16)' && xprop -id $ZINTAR_WIN WM_CLASS | grep -q '\"zintar\"'"
e2e_expect_pixel $((x + 2)) $((y + 2)) "$E2E_DESKTOP" 0 "desktop shows just outside the ellipse"
e2e_expect_pixel $((x + 125)) $((y + 125)) "$E2E_DESKTOP" 0 "desktop shows at the opposite corner"
expected=$(printf '%s\r\n' "[Style]" "Bitmap=$E2E_BIN/pics/watch2.bmp" "HourColor=333333" \
    "MinuteColor=666666" "SecondsColor=4040FF" "HourWidth=8" "MinuteWidth=4" "SecondsWidth=2" \
    "" "[Window]" "Borderless=True" "AlwaysOnTop=-1" "Transparent=False" "WindowX=100" \
    "WindowY=100" "SizeX=128" "SizeY=128" "" "[Alarms]" "AlarmsCount=0" | od -c)
e2e_expect_eq "mysettings.ini holds the defaults after the first activation" "$expected" \
    "$(od -c "$E2E_SETTINGS")"

is_hand() { # dark grey hour or minute hand, or the red second hand
    e2e_color_near "$1" 333333 40 || e2e_color_near "$1" 666666 40 || e2e_color_near "$1" FF4040 60
}
near() { e2e_color_near "$(e2e_pixel $((x + 64 + $1)) $((y + 64 + $2)))" "$3" "$4"; }
pixel_is_hand() { is_hand "$(e2e_pixel $((x + 64 + $1)) $((y + 64 + $2)))"; }
for d in 12 20 28; do
    e2e_check "hour hand $d pixels right of the centre" near "$d" 0 333333 40
    e2e_check "minute or second hand $((d + d / 2)) pixels above" pixel_is_hand 0 $((-d - d / 2))
done
e2e_check "second hand beyond the minute hand" near 0 -50 FF4040 60
for where in "-20 0" "0 20" "-14 -14" "14 14"; do
    e2e_check "no hand at $where" e2e_not pixel_is_hand $where
done
e2e_stop_zintar

for case in "999999 999999 128:896 640 128 128" "-4000 -15 96:0 0 96 96"; do
    read -r px py size <<<"${case%:*}"
    e2e_write_settings "[Window]
WindowX=$px
WindowY=$py
SizeX=$size
SizeY=$size"
    e2e_start_zintar
    e2e_expect_eq "stored at $px, $py: flush with the edges" "${case#*:}" "$(e2e_geometry)"
    e2e_stop_zintar
done
e2e_finish
