#!/usr/bin/env bash
# "Style...": the editor in front of the on-top clock; a built-in style chosen by keyboard
# shows on the clock and in mysettings.ini; a style saved under a new name is kept in
# myskins.ini and listed after a restart; the transparent box gives the see-through face.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
settings="[Style]
Bitmap=$E2E_BIN/pics/midnight.bmp
HourColor=F0E6CC
MinuteColor=F0E6CC
SecondsColor=FF8C28
HourWidth=8
MinuteWidth=5
SecondsWidth=2
[Window]
Borderless=True
AlwaysOnTop=-1
WindowX=4500
WindowY=3000"
e2e_write_settings "$settings"
e2e_start_zintar
editor() { xdotool search --all --onlyvisible --pid "$ZINTAR_PID" --name '^Custom Style$' 2>/dev/null | head -n1; }
has_editor() { [ -n "$(editor)" ]; }
open_editor() {
    local x y w h
    read -r x y w h < <(e2e_geometry)
    e2e_right_click $((x + w / 2)) $((y + h / 2))
    e2e_menu_choose "Style..."
    e2e_wait_until 10 has_editor || return 1
    xdotool windowactivate --sync "$(editor)" 2>/dev/null
    sleep 0.5 # the list takes the focus
}
stacked_after() { # WINDOW OTHER: WINDOW is above OTHER in the stacking order
    local order i=0 pa=-1 pb=-1 id
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
    for id in $order; do
        ((id == $1)) && pa=$i
        ((id == $2)) && pb=$i
        i=$((i + 1))
    done
    ((pb >= 0 && pa > pb))
}
colour_count() { # RRGGBB TOL: pixels of about that colour on the clock
    local x y w h
    e2e_find_window # a change of face may give the clock a new native window
    read -r x y w h < <(e2e_geometry)
    "$E2E_BIN/zintar_probe" count "$1" "$2" "$x" "$y" "$w" "$h"
}
more_than() { (($("${@:2}") > $1)); }

open_editor
e2e_check "\"Style...\" opens the editor" has_editor
e2e_check "the editor has the program's icon" e2e_has_icon "$(editor)"
e2e_check "the editor is in front of the on-top clock" stacked_after "$(editor)" "$ZINTAR_WIN"
e2e_check "the clock left the top band meanwhile" e2e_not sh -c "xprop -id $ZINTAR_WIN _NET_WM_STATE | grep -q ABOVE"

# End is the last built-in style, "Pilot", with hands of F4F4F4 (none on "Midnight").
spots() { # the face at two spots away from the centre, where the hands rarely are
    local x y w h
    e2e_find_window
    read -r x y w h < <(e2e_geometry)
    echo "$(e2e_pixel $((x + 24)) $((y + 44))) $(e2e_pixel $((x + 100)) $((y + 92)))"
}
face_changed() {
    local a b
    read -r a b < <(spots)
    ! e2e_color_near "$a" "${before% *}" 30 && ! e2e_color_near "$b" "${before#* }" 30
}
before=$(spots)
xdotool key End Return
e2e_check "Enter closes the editor" e2e_wait_until 5 e2e_not has_editor
e2e_check "the face and hands change on screen" e2e_wait_until 3 face_changed
e2e_expect_eq "the style is stored" "$E2E_BIN/pics/pilot.bmp" "$(e2e_ini_value Style Bitmap | tr '\\' /)"
e2e_expect_eq "with its hour colour" F4F4F4 "$(e2e_ini_value Style HourColor)"
e2e_check "the clock is on top again" e2e_wait_until 3 sh -c "xprop -id $ZINTAR_WIN _NET_WM_STATE | grep -q ABOVE"

# A style of its own: hour hand 1 pixel wide, saved as "E2E mine".
open_editor
xdotool key Tab Tab Tab Tab Tab Tab Tab Home # list, name, save, delete, 3 colours: hours width
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab ctrl+a
xdotool type --delay 20 "E2E mine"
xdotool key Tab space alt+o
e2e_check "OK closes the editor" e2e_wait_until 5 e2e_not has_editor
own="$E2E_USER/myskins.ini"
e2e_check "the new style is in myskins.ini" e2e_wait_until 3 grep -q "^Name=E2E mine" "$own"
e2e_expect_eq "and is the clock's style" 1 "$(e2e_ini_value Style HourWidth)"

e2e_stop_zintar
sed -i 's/^HourWidth=.*/HourWidth=7\r/' "$E2E_SETTINGS"
e2e_start_zintar
open_editor
xdotool key End Return # the user's styles come after the built-in ones
e2e_check "after a restart the saved style is listed and chosen" \
    e2e_wait_until 5 sh -c "grep -q '^HourWidth=1' '$E2E_SETTINGS'"

# The see-through face: the desktop shows through it.
open_editor
xdotool key Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space Return
e2e_check "OK closes the editor" e2e_wait_until 5 e2e_not has_editor
e2e_check "the desktop colour shows through the face" \
    e2e_wait_until 5 more_than 4000 colour_count "$E2E_DESKTOP" 6
# Lifting the clock out of the top band around the editor can give it a new X window.
out_of_taskbar() {
    e2e_find_window && xprop -id "$ZINTAR_WIN" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR
}
e2e_check "the clock stays out of the taskbar" e2e_wait_until 3 out_of_taskbar
e2e_finish
