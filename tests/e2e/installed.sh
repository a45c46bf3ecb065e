# Shared by the tests of an installed clock: e2e_check_installed ROOT looks at the files under
# ROOT/usr, then starts ROOT/usr/bin/zintar with an empty home and compares its face with the
# one the clock of the build tree showed at the same points (installed_reference, run first).
# Both runs start at 03:00:00: the points are away from the hour and minute hands and from
# where the second hand goes in the first 30 seconds.
INSTALLED_POINTS="-20,20 -35,10 -10,40 -40,-5 30,30 -25,-25 0,45"
installed_sample() { # the pixels at INSTALLED_POINTS around the clock's centre
    local x y w h p
    read -r x y w h < <(e2e_geometry)
    for p in $INSTALLED_POINTS; do
        printf '%s ' "$(e2e_pixel $((x + w / 2 + ${p%,*})) $((y + h / 2 + ${p#*,})))"
    done
}
installed_start() {
    rm -rf "$E2E_USER"
    e2e_start_zintar env LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="2026-12-05 03:00:00"
}
installed_reference() {
    ZINTAR_EXE="$E2E_BIN/zintar" installed_start
    INSTALLED_REFERENCE=$(installed_sample)
    e2e_stop_zintar
}
e2e_check_installed() {
    local usr size got
    usr=$(cd "$1/usr" && pwd -P) # the folder the program sees as its own
    e2e_check "bin/zintar and the data in share/zintar" test -x "$usr/bin/zintar" -a \
        -f "$usr/share/zintar/DefaultSkins.ini" -a -f "$usr/share/zintar/pics/watch2.bmp"
    e2e_check "nothing in lib/zintar" test ! -e "$usr/lib/zintar"
    e2e_check "the menu entry, AppStream data and manual page" test \
        -f "$usr/share/applications/zintar.desktop" -a -f "$usr/share/man/man1/zintar.1.gz" -a \
        -f "$usr/share/metainfo/example.zintar.Zintar.metainfo.xml" -a \
        -f "$usr/share/icons/hicolor/scalable/apps/zintar.svg"
    for size in 16 22 24 32 48 64 128 256; do
        e2e_check "icon ${size}x$size" test -f "$usr/share/icons/hicolor/${size}x$size/apps/zintar.png"
    done
    ZINTAR_EXE="$usr/bin/zintar" installed_start
    got=$(installed_sample)
    e2e_check "the face is not the desktop" e2e_not grep -qi "$E2E_DESKTOP" <<<"$got"
    e2e_expect_eq "the installed clock shows the build tree's face" "$INSTALLED_REFERENCE" "$got"
    e2e_expect_eq "the default style's picture comes from share/zintar" \
        "$usr/share/zintar/pics/watch2.bmp" "$(e2e_ini_value Style Bitmap)"
    e2e_stop_zintar
}
