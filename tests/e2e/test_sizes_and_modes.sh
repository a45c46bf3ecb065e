# Each size item gives its client size and is saved; "On &Top", "On &Bottom" and
# "Border&less" flip, act on the window and are saved; a restart re-applies them all.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_zintar

menu() { # opens the clock's menu at its centre and chooses an item
    local x y w h
    read -r x y w h < <(e2e_geometry)
    e2e_right_click $((x + w / 2)) $((y + h / 2))
    e2e_menu_choose "$@"
}

for item in "Tiny (64x64):64" "Small (96x96):96" "Extra large (256x256):256" \
    "Medium (128x128):128" "Large (192x192):192"; do
    caption=${item%:*}
    size=${item##*:}
    menu "Size" "$caption"
    e2e_wait_until 3 sh -c "xwininfo -id $ZINTAR_WIN | grep -q 'Width: $size'"
    read -r x y w h < <(e2e_geometry)
    e2e_expect_eq "$caption: client size" "$size $size" "$w $h"
    e2e_expect_eq "$caption: saved" "$size $size" "$(e2e_ini_value Window SizeX) $(e2e_ini_value Window SizeY)"
    e2e_expect_pixel $((x + 1)) $((y + 1)) "$E2E_DESKTOP" 0 "$caption: still round"
done

menu "On &Bottom"
e2e_check "On Bottom: kept below other windows" sh -c "xprop -id $ZINTAR_WIN _NET_WM_STATE | grep -q _NET_WM_STATE_BELOW"
e2e_check "On Bottom: no longer above" sh -c "! xprop -id $ZINTAR_WIN _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE"
e2e_expect_eq "On Bottom: saved" "1" "$(e2e_ini_value Window AlwaysOnTop)"

menu "On &Top"
e2e_check "On Top: above other windows" sh -c "xprop -id $ZINTAR_WIN _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE"
e2e_check "On Top: no longer below" sh -c "! xprop -id $ZINTAR_WIN _NET_WM_STATE | grep -q _NET_WM_STATE_BELOW"
e2e_expect_eq "On Top: saved" "-1" "$(e2e_ini_value Window AlwaysOnTop)"

menu "On &Top"
e2e_check "On Top off: neither above nor below" sh -c "! xprop -id $ZINTAR_WIN _NET_WM_STATE | grep -qE '_NET_WM_STATE_(ABOVE|BELOW)'"
e2e_expect_eq "On Top off: saved" "0" "$(e2e_ini_value Window AlwaysOnTop)"

menu "On &Bottom"
e2e_expect_eq "On Bottom again: saved" "1" "$(e2e_ini_value Window AlwaysOnTop)"

win_before=$ZINTAR_WIN
menu "Border&less"
e2e_expect_eq "Borderless off: saved" "False" "$(e2e_ini_value Window Borderless)"
e2e_find_window
e2e_expect_eq "Borderless off: the same window, changed in place" "$win_before" "$ZINTAR_WIN"
frame=$(e2e_frame)
fh=$(xwininfo -id "$frame" | awk '/Height:/{print $2}')
e2e_check "Borderless off: a title bar and frame ($fh > 192)" test "$fh" -gt 192
read -r x y w h < <(e2e_geometry)
corner=$(e2e_pixel $((x + 1)) $((y + 1)))
e2e_check "Borderless off: the client area is square again ($corner)" e2e_not e2e_color_near "$corner" "$E2E_DESKTOP" 4

e2e_stop_zintar
e2e_start_zintar
read -r x y w h < <(e2e_geometry)
e2e_expect_eq "restart: size re-applied" "192 192" "$w $h"
e2e_check "restart: on the bottom re-applied" sh -c "xprop -id $ZINTAR_WIN _NET_WM_STATE | grep -q _NET_WM_STATE_BELOW"
frame=$(e2e_frame)
fh=$(xwininfo -id "$frame" | awk '/Height:/{print $2}')
e2e_check "restart: framed window re-applied ($fh > 192)" test "$fh" -gt 192

menu "Border&less"
e2e_expect_eq "Borderless on: saved" "True" "$(e2e_ini_value Window Borderless)"
read -r x y w h < <(e2e_geometry)
e2e_expect_pixel $((x + 2)) $((y + 2)) "$E2E_DESKTOP" 0 "Borderless on: round again"
e2e_stop_zintar
e2e_start_zintar
read -r x y w h < <(e2e_geometry)
e2e_expect_pixel $((x + 2)) $((y + 2)) "$E2E_DESKTOP" 0 "restart: round re-applied"
e2e_finish
