# With the wall clock at 03:00:00 the hour hand points right, the minute and second hands up.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_start_zintar LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="2026-12-05 03:00:00" \
    FAKETIME_DONT_FAKE_MONOTONIC=1
e2e_wait_log "Start at 03:00:00" 5
e2e_check "the program saw 03:00:00" grep -qF "Start at 03:00:00" "$ZINTAR_LOG"

read -r x y w h < <(e2e_geometry)
cx=$((x + 64))
cy=$((y + 64))
is_hand() { # RRGGBB: dark grey hour or minute hand, or the red second hand
    e2e_color_near "$1" 333333 40 || e2e_color_near "$1" 666666 40 || e2e_color_near "$1" FF4040 60
}
for d in 12 20 28; do
    p=$(e2e_pixel $((cx + d)) "$cy")
    e2e_check "hour hand $d pixels right of the centre ($p)" e2e_color_near "$p" 333333 40
done
for d in 20 32 44; do
    p=$(e2e_pixel "$cx" $((cy - d)))
    e2e_check "minute or second hand $d pixels above the centre ($p)" is_hand "$p"
done
p=$(e2e_pixel "$cx" $((cy - 50)))
e2e_check "second hand beyond the minute hand ($p)" e2e_color_near "$p" FF4040 60
for where in "-20 0" "0 20" "-14 -14" "14 14"; do
    read -r dx dy <<<"$where"
    p=$(e2e_pixel $((cx + dx)) $((cy + dy)))
    e2e_check "no hand at $dx,$dy ($p)" e2e_not is_hand "$p"
done
e2e_finish
