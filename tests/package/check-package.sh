#!/usr/bin/env bash
# The Debian package as cpack makes it from this build: its files, its
# dependencies, its desktop entry and metainfo as the desktop's own checkers
# see them, and the packaged program setting up a user's data folder from the
# installed defaults, and boxes captioned with the program's name.
# check-package.sh <build folder>
set -u
BUILD=$1
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli sqlite3 Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }
done
WORK=$(mktemp -d)
PID=""
cleanup() {
    [ -n "$PID" ] && kill "$PID" 2>/dev/null && wait "$PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 || {
    cat "$WORK/cpack.log"
    fail "cpack failed"
}
debs=("$WORK"/out/corvane_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "not exactly one corvane_*.deb: ${debs[*]}"
DEB=${debs[0]}
[[ "$(basename "$DEB")" =~ ^corvane_[0-9.]+_$(dpkg --print-architecture)\.deb$ ]] ||
    fail "package named $(basename "$DEB")"

ROOT="$WORK/root"
dpkg-deb -x "$DEB" "$ROOT"
for f in usr/bin/corvane \
    usr/share/applications/corvane.desktop \
    usr/share/metainfo/org.corvane.Corvane.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/corvane.svg \
    usr/share/man/man1/corvane.1.gz \
    usr/share/corvane/tel.sql usr/share/corvane/zel.ini \
    usr/share/corvane/ringin1.wav usr/share/corvane/ringin2.wav usr/share/corvane/ringin3.wav \
    usr/share/doc/corvane/copyright usr/share/doc/corvane/main-window.png \
    usr/lib/udev/rules.d/70-corvane-modems.rules \
    etc/xdg/autostart/corvane.desktop; do
    [ -s "$ROOT/$f" ] || fail "$f missing or empty"
done
[ -x "$ROOT/usr/bin/corvane" ] || fail "/usr/bin/corvane is not executable"
for size in 16 24 32 48 64 128 256; do
    file "$ROOT/usr/share/icons/hicolor/${size}x${size}/apps/corvane.png" | grep -q "PNG image data, $size x $size" ||
        fail "no ${size}x${size} PNG icon"
done
# Nothing of the build or the tests came along.
extra=$(cd "$ROOT" && find . -type f | grep -v -e '^./usr/share/' -e '^./usr/bin/corvane$' -e '^./etc/xdg/autostart/corvane.desktop$' \
    -e '^./usr/lib/udev/rules.d/70-corvane-modems.rules$')
[ -z "$extra" ] || fail "unexpected files: $extra"
dpkg-deb -f "$DEB" Conffiles 2>/dev/null | grep -q autostart ||
    dpkg-deb -I "$DEB" conffiles | grep -qx /etc/xdg/autostart/corvane.desktop || fail "the autostart entry is no conffile"

depends=$(dpkg-deb -f "$DEB" Depends)
echo "Depends: $depends"
for dep in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6serialport6 libqt6dbus6 \
    libasound2 libsqlite3-0 fonts-wqy-microhei qt6-translations-l10n libasound2-plugins qt6-wayland; do
    grep -qE "(^|, )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep"
done

desktop-file-validate "$ROOT/usr/share/applications/corvane.desktop" || fail "desktop entry invalid"
desktop-file-validate "$ROOT/etc/xdg/autostart/corvane.desktop" || fail "autostart entry invalid"
appstreamcli validate --no-net "$ROOT/usr/share/metainfo/org.corvane.Corvane.metainfo.xml" || fail "metainfo invalid"
entry=$ROOT/usr/share/applications/corvane.desktop
grep -qx 'Name=Corvane' "$entry" && grep -qx 'Icon=corvane' "$entry" && grep -qx 'Exec=corvane' "$entry" &&
    grep -qE '^Categories=(.*;)?Office;' "$entry" || fail "desktop entry lacks name, icon, command or category"
grep -P '^GenericName=.*[\x{4e00}-\x{9fff}]' "$entry" >/dev/null && grep -P '^Comment=.*[\x{4e00}-\x{9fff}]' "$entry" >/dev/null ||
    fail "desktop entry has no Chinese generic name or comment"
autostart=$ROOT/etc/xdg/autostart/corvane.desktop
grep -qx 'Exec=corvane --tray' "$autostart" && grep -qx 'Hidden=true' "$autostart" ||
    fail "autostart entry not 'corvane --tray', hidden"
# No address that leads nowhere; the licence the same in the project, the
# metainfo and Debian's copyright file.
metainfo=$ROOT/usr/share/metainfo/org.corvane.Corvane.metainfo.xml
grep -nE 'https?://' "$metainfo" && fail "the metainfo names an address"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "metainfo licence"
copyright=$ROOT/usr/share/doc/corvane/copyright
head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' &&
    grep -qx 'License: GPL-3+' "$copyright" || fail "the copyright file is not GPL-3+ in Debian's format"
cmp -s "$SOURCE/LICENSE" /usr/share/common-licenses/GPL-3 || fail "LICENSE is not the GPL-3.0 text"
man=$(zcat "$ROOT/usr/share/man/man1/corvane.1.gz" | sed 's/\\-/-/g')
grep -q -- '--data' <<<"$man" && grep -q -- '--tray' <<<"$man" || fail "the man page lacks --data or --tray"
file "$ROOT/usr/bin/corvane" | grep -q ', stripped' || fail "the program is not stripped"
# The udev rule keeps ModemManager away from the modems it names and lets the
# seat's user open them.
rules=$ROOT/usr/lib/udev/rules.d/70-corvane-modems.rules
grep -q 'ATTRS{idVendor}=="0572", ATTRS{idProduct}=="1329"' "$rules" && grep -q 'ENV{ID_MM_DEVICE_IGNORE}="1"' "$rules" &&
    grep -q 'TAG+="uaccess"' "$rules" || fail "the udev rule lacks the modems, ModemManager's ignore or uaccess"

# The packaged program, in its installed layout, makes the user's data folder
# from the defaults beside it and writes nothing into the installed tree.
find "$ROOT" -printf '%p %s %T@\n' | sort >"$WORK/before"
mkdir -m 700 "$WORK/runtime"
XDG_DATA_HOME="$WORK/data" XDG_RUNTIME_DIR="$WORK/runtime" HOME="$WORK/home" QT_QPA_PLATFORM=offscreen \
    "$ROOT/usr/bin/corvane" >"$WORK/corvane.log" 2>&1 &
PID=$!
DATA="$WORK/data/corvane"
for _ in $(seq 100); do [ -s "$DATA/zel.ini" ] && break; sleep 0.1; done
[ -s "$DATA/zel.ini" ] || { cat "$WORK/corvane.log"; fail "no zel.ini in the data folder"; }
kill -0 "$PID" 2>/dev/null || { cat "$WORK/corvane.log"; fail "the packaged program ended"; }
[ "$(sqlite3 "$DATA/tel.mdb" "SELECT code FROM ring WHERE bz = '1'")" = 1 ] || fail "the data folder's tel.mdb is not the schema's"
for n in 1 2 3; do
    cmp -s "$DATA/ringin$n.wav" "$ROOT/usr/share/corvane/ringin$n.wav" || fail "ringin$n.wav not copied"
done
kill "$PID"
wait "$PID" 2>/dev/null
PID=""
find "$ROOT" -printf '%p %s %T@\n' | sort | diff "$WORK/before" - || fail "the program wrote into the installed tree"

# The installed program's boxes: a port that is not there gives one at start.
printf '[ports]\r\ncom1=/nonexistent/ttyCorvane\r\n' >>"$DATA/zel.ini"
exec 5>"$WORK/display"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
XVFB=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
DISPLAY=":$(head -1 "$WORK/display")" XDG_DATA_HOME="$WORK/data" XDG_RUNTIME_DIR="$WORK/runtime" HOME="$WORK/home" \
    QT_QPA_PLATFORM=xcb "$ROOT/usr/bin/corvane" >"$WORK/corvane.log" 2>&1 &
PID=$!
# xdotool matches names without regard to case; the count is of exact ones.
titled() {
    local w
    for w in $(DISPLAY=":$(head -1 "$WORK/display")" xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        [ "$(DISPLAY=":$(head -1 "$WORK/display")" xdotool getwindowname "$w")" = "$1" ] && echo "$w"
    done | wc -l
}
for _ in $(seq 100); do [ "$(titled Corvane)" -ge 2 ] && break; sleep 0.1; done
captions=$(titled Corvane) lower=$(titled corvane)
kill "$PID" "$XVFB"
wait "$PID" "$XVFB" 2>/dev/null
PID=""
[ "$captions" -ge 2 ] && [ "$lower" = 0 ] || fail "$captions windows captioned Corvane, $lower corvane: no box reads Corvane"
echo "PASS: $(basename "$DEB"): files, dependencies, desktop entry, metainfo, licence, first start, captions"
