# The desktop entry and the AppStream file pass their validators, the AppStream file names the
# desktop entry, and every icon picture has the size of its theme folder.
# validate.sh <data folder> <icon theme folder of the build>
set -u
data=$1 icons=$2 failed=0
check() {
    if "${@:2}"; then echo "PASS: $1"; else echo "FAIL: $1" && failed=1; fi
}
check "desktop-file-validate" desktop-file-validate "$data/zintar.desktop"
check "appstreamcli validate" appstreamcli validate --no-net "$data"/*.metainfo.xml
check "the AppStream file launches zintar.desktop" \
    grep -q '<launchable type="desktop-id">zintar.desktop</launchable>' "$data"/*.metainfo.xml
check "the desktop entry starts zintar with the zintar icon" \
    sh -c "grep -qx 'Exec=zintar' '$data/zintar.desktop' && grep -qx 'Icon=zintar' '$data/zintar.desktop'"
for size in 16 22 24 32 48 64 128 256; do
    check "icon ${size}x$size" sh -c "file '$icons/${size}x$size/apps/zintar.png' | grep -q 'PNG image data, $size x $size,'"
done
check "the SVG icon" sh -c "file '$data/zintar.svg' | grep -q 'SVG Scalable Vector Graphics image'"
exit $failed
