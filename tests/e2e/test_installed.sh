# cmake --install into a temporary root with DESTDIR puts the program in bin/ and its styles
# and faces in share/zintar; the installed program, started with an empty home, finds them.
source "$(dirname "$0")/lib.sh" "$1"
source "$(dirname "$0")/installed.sh"
root="$E2E_TMP/root"
DESTDIR="$root" cmake --install "$E2E_BIN/.." --prefix /usr >"$E2E_TMP/install.log" 2>&1 ||
    e2e_die "cmake --install failed: $(cat "$E2E_TMP/install.log")"
e2e_desktop 1024x768
installed_reference
e2e_check_installed "$root"
e2e_finish
