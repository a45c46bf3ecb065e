# A stored position far off the screen puts the window flush with the screen's edge; a
# negative one at the edge on the other side.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop 1024x768

e2e_write_settings "[Window]
Borderless=True
AlwaysOnTop=-1
Transparent=False
WindowX=999999
WindowY=999999
SizeX=128
SizeY=128"
e2e_start_zintar
read -r x y w h < <(e2e_geometry)
e2e_expect_eq "flush with the right and bottom edges" "896 640" "$x $y"
e2e_stop_zintar

e2e_write_settings "[Window]
Borderless=True
AlwaysOnTop=-1
WindowX=-4000
WindowY=-15
SizeX=96
SizeY=96"
e2e_start_zintar
read -r x y w h < <(e2e_geometry)
e2e_expect_eq "flush with the left and top edges" "0 0 96 96" "$x $y $w $h"
e2e_finish
