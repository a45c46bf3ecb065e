# With the wall clock at 03:00:00 the hour hand points right, the minute and second hands up.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_zintar LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="2026-12-05 03:00:00" \
    FAKETIME_DONT_FAKE_MONOTONIC=1
e2e_check "the program saw 03:00:00" e2e_wait_log "Start at 03:00:00" 5

read -r x y w h < <(e2e_geometry)
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
e2e_finish
