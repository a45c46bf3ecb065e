#!/usr/bin/env bash
# Under QT_SCALE_FACTOR the stored position converts once: the clock opens where the same
# twips put it at scale 1, scaled, and a start and close write back what was read.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
e2e_write_settings "[Window]
Borderless=True
AlwaysOnTop=0
WindowX=1500
WindowY=3000"
for scale in 2 1.5; do
    e2e_start_zintar env QT_SCALE_FACTOR=$scale
    read -r x y w h < <(e2e_geometry)
    want=$(awk -v s="$scale" 'BEGIN{printf "%d %d %d %d", 100 * s, 200 * s, 128 * s, 128 * s}')
    e2e_expect_eq "scale $scale: on screen" "$want" "$x $y $w $h"
    e2e_stop_zintar
    e2e_expect_eq "scale $scale: position and size kept" "1500 3000 128" \
        "$(e2e_ini_value Window WindowX) $(e2e_ini_value Window WindowY) $(e2e_ini_value Window SizeX)"
done
e2e_finish
