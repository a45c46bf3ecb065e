# The .deb that cpack makes: named zintar, its dependencies worked out from the libraries the
# program links plus the sound libraries it opens itself, no lintian error, and the program
# unpacked from it runs with its face.
source "$(dirname "$0")/lib.sh" "$1"
source "$(dirname "$0")/installed.sh"
build=$(cd "$E2E_BIN/.." && pwd)
(cd "$build" && cpack -G DEB -B "$E2E_TMP/pkg") >"$E2E_TMP/cpack.log" 2>&1 ||
    e2e_die "cpack failed: $(cat "$E2E_TMP/cpack.log")"
deb=$(ls "$E2E_TMP"/pkg/zintar_*.deb | head -n1)
[ -f "$deb" ] || e2e_die "no zintar_*.deb: $(cat "$E2E_TMP/cpack.log")"
e2e_expect_eq "package name" zintar "$(dpkg-deb -f "$deb" Package)"
e2e_check "depends on the Qt it links and on the SDL2 and libsndfile it opens" sh -c \
    "dpkg-deb -f '$deb' Depends | grep -q libqt6widgets6 && dpkg-deb -f '$deb' Depends | grep -q libsdl2 &&
     dpkg-deb -f '$deb' Depends | grep -q libsndfile1"
e2e_check "no lintian error" sh -c "lintian --fail-on error '$deb' >'$E2E_TMP/lintian.log' 2>&1"
cat "$E2E_TMP/lintian.log" >&2
dpkg-deb -x "$deb" "$E2E_TMP/root"
e2e_desktop 1024x768
installed_reference
e2e_check_installed "$E2E_TMP/root"
e2e_finish
