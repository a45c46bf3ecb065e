# A stored position far off the screen puts the window flush with the screen's edge; a
# negative one at the edge on the other side.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop 1024x768
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
