#!/usr/bin/env bash
# The real program's command line, with no display at all: the options that end at once must
# not need one, and an unknown option is refused with status 2.
set -u
bin=${1:?bin folder}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failed=0 passed=0
check() { # check NAME COMMAND...
    local name=$1
    shift
    if "$@"; then passed=$((passed + 1)); else echo "FAIL: $name" >&2; failed=$((failed + 1)); fi
}

out=$("$bin/zintar" --version 2>&1); status=$?
check "--version" test "$status:$out" = "0:zintar 2.3"
out=$("$bin/zintar" --help 2>&1); status=$?
check "--help" test "$status" = 0 -a "${out%%$'\n'*}" = "Usage: zintar [OPTION]"
err=$("$bin/zintar" --frobnicate 2>&1 >/dev/null); status=$?
check "unknown option" test "$status:$(wc -l <<<"$err")" = "2:1"
"$bin/zintar" --autostart on
check "--autostart on" grep -qx "Exec=$(readlink -f "$bin/zintar")" "$XDG_CONFIG_HOME/autostart/zintar.desktop"
"$bin/zintar" --autostart off
check "--autostart off" test ! -e "$XDG_CONFIG_HOME/autostart/zintar.desktop"
err=$("$bin/zintar" 2>&1 >/dev/null); status=$?
check "no display: one line, status 1" test "$status:$(wc -l <<<"$err")" = "1:1"
err=$(WAYLAND_DISPLAY=wayland-0 "$bin/zintar" 2>&1 >/dev/null); status=$?
check "Wayland without XWayland names it" test "$status" = 1 -a -n "$(grep XWayland <<<"$err")"
err=$(DISPLAY=:9999 "$bin/zintar" 2>&1 >/dev/null); status=$?
check "a display that does not answer" test "$status:$err" = "1:zintar: cannot open the X11 display ':9999'"
check "no settings written" test ! -e "$XDG_DATA_HOME/Zintar_22/mysettings.ini"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
