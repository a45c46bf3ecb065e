# The size items, "On &Top", "On &Bottom" and "Border&less" act on the window and are saved;
# a restart re-applies them.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_zintar
menu() { # opens the clock's menu at its centre and chooses an item
    local x y w h
    read -r x y w h < <(e2e_geometry)
    e2e_right_click $((x + w / 2)) $((y + h / 2))
    e2e_menu_choose "$@"
}
state() { e2e_net_state | grep -oE '_NET_WM_STATE_(ABOVE|BELOW)' | tr '\n' ' '; }
framed() { e2e_frame_extents | grep -qE '^[0-9]+, [0-9]+, [1-9]'; } # a title bar
round() { e2e_expect_pixel $((x + 2)) $((y + 2)) "$E2E_DESKTOP" 0 "$1: round"; }
for item in "Tiny (64x64):64" "Small (96x96):96" "Extra large (256x256):256" \
    "Medium (128x128):128" "Large (192x192):192"; do
    caption=${item%:*} size=${item##*:}
    menu "Size" "$caption"
    e2e_wait_until 3 sh -c "xwininfo -id $ZINTAR_WIN | grep -q 'Width: $size'"
    read -r x y w h < <(e2e_geometry)
    e2e_expect_eq "$caption: client size, saved" "$size $size $size $size" \
        "$w $h $(e2e_ini_value Window SizeX) $(e2e_ini_value Window SizeY)"
    round "$caption"
done

for step in "On &Bottom:_NET_WM_STATE_BELOW :1" "On &Top:_NET_WM_STATE_ABOVE :-1" \
    "On &Top::0" "On &Bottom:_NET_WM_STATE_BELOW :1"; do
    IFS=: read -r caption want saved <<<"$step"
    menu "$caption"
    e2e_expect_eq "$caption: window state, saved" "$want$saved" \
        "$(state)$(e2e_ini_value Window AlwaysOnTop)"
done

win_before=$ZINTAR_WIN
menu "Border&less"
e2e_expect_eq "Borderless off: saved" "False" "$(e2e_ini_value Window Borderless)"
e2e_find_window
e2e_expect_eq "Borderless off: the same window, changed in place" "$win_before" "$ZINTAR_WIN"
e2e_check "Borderless off: a title bar and frame" e2e_wait_until 3 framed
read -r x y w h < <(e2e_geometry)
e2e_check "Borderless off: the client area is square again" \
    e2e_not e2e_color_near "$(e2e_pixel $((x + 1)) $((y + 1)))" "$E2E_DESKTOP" 4

e2e_stop_zintar
e2e_start_zintar
read -r x y w h < <(e2e_geometry)
e2e_expect_eq "restart: size and on the bottom re-applied" "192 192 _NET_WM_STATE_BELOW " "$w $h $(state)"
e2e_check "restart: framed window re-applied" e2e_wait_until 3 framed

menu "Border&less"
e2e_expect_eq "Borderless on: saved" "True" "$(e2e_ini_value Window Borderless)"
read -r x y w h < <(e2e_geometry)
round "Borderless on"
e2e_finish
