# Frames go straight to the window; where a menu covered the clock, the face comes back with
# the current hands only, not with the second hand of an older frame.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_zintar LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="@2026-12-05 03:00:50" \
    FAKETIME_DONT_FAKE_MONOTONIC=1

read -r x y w h < <(e2e_geometry)
# The menu covers the upper left of the face, where the second hand is now (about 50 s).
e2e_right_click $((x + 24)) $((y + 24))
sleep 5 # the second hand moves on towards 12 under the menu
xdotool key Escape
sleep 1.3
# An older second hand would show again between 50 and 55 s (300 to 330 degrees).
old=0
for deg in 300 306 312 318 324; do
    for r in 24 34 44; do
        read -r px py < <(awk -v d="$deg" -v r="$r" 'BEGIN{a = d * atan2(0, -1) / 180
            printf "%d %d\n", 64 + r * sin(a), 64 - r * cos(a)}')
        e2e_color_near "$(e2e_pixel $((x + px)) $((y + py)))" FF4040 60 && old=$((old + 1))
    done
done
e2e_expect_eq "no older second hand where the menu was" 0 "$old"
e2e_check "the current second hand shows" test "$(e2e_count FF4040 60 "$x" "$y" "$w" "$h")" -gt 20
e2e_finish
