#!/usr/bin/env bash
# The settings folder on a full disk (a small tmpfs; mounting needs root, as in CI): a change
# from the menu cannot be saved, the user sees why in a window, and the file keeps what it had.
source "$(dirname "$0")/lib.sh" "$1"
if [ "$(id -u)" != 0 ]; then
    echo "e2e: skipped: mounting a small tmpfs needs root"
    exit 0
fi
mkdir -p "$E2E_USER"
mount -t tmpfs -o size=64k zintar-e2e "$E2E_USER" || { echo "e2e: skipped: no tmpfs"; exit 0; }
E2E_AFTER_STOP='umount "$E2E_USER"'
e2e_desktop
e2e_write_settings "[Window]
Borderless=True
AlwaysOnTop=0
WindowX=1500
WindowY=1500"
e2e_start_zintar
before=$(md5sum <"$E2E_SETTINGS")
# Fill what is left, then ask for a change that must be saved.
dd if=/dev/zero of="$E2E_USER/filler" bs=4k 2>/dev/null
read -r x y w h < <(e2e_geometry)
e2e_right_click $((x + w / 2)) $((y + h / 2))
e2e_menu_choose "On &Top"
notice() { xdotool search --all --onlyvisible --pid "$ZINTAR_PID" --name '^Whoops!$' 2>/dev/null | head -n1; }
has_notice() { [ -n "$(notice)" ]; }
e2e_check "a window tells the user" e2e_wait_until 5 has_notice
e2e_check "naming the file and the reason" grep -q "mysettings.ini.*No space left on device" "$ZINTAR_LOG"
e2e_expect_eq "the settings file is as it was" "$before" "$(md5sum <"$E2E_SETTINGS")"
e2e_check "no temporary file left" test -z "$(ls -A "$E2E_USER" | grep -v -e '^mysettings.ini$' -e '^filler$' -e '^zintar.lock$')"

xdotool windowactivate --sync "$(notice)" 2>/dev/null
xdotool key Return
e2e_check "the window closes" e2e_wait_until 5 e2e_not has_notice
e2e_check "the clock goes on running" kill -0 "$ZINTAR_PID"
e2e_finish
