# Frames go straight to the window; where a menu covered the clock, the face comes back with
# the current hands only, not with the hands of an older frame.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_zintar LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="@2026-12-05 03:00:10" \
    FAKETIME_DONT_FAKE_MONOTONIC=1

read -r x y w h < <(e2e_geometry)
red() { e2e_count FF4040 60 "$x" "$y" "$w" "$h"; }
before=$(red)
e2e_right_click $((x + 40)) $((y + 40))
sleep 3 # the second hand moves on under the menu
xdotool key Escape
sleep 1.3
after=$(red)
e2e_check "one second hand after the menu closed ($before, then $after red pixels)" \
    test "$after" -gt 0 -a "$after" -le $((before * 3 / 2))
e2e_finish
