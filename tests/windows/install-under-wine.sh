#!/usr/bin/env bash
# What a shop does with the two Windows files, under Wine on a real X server
# with the fake modem as COM1, nothing on the DLL path but Windows' own: the
# portable zip runs with its data beside the exe; the installer's pages;
# CorvaneSetup /S installs for all users, the Start-menu shortcut starts the
# program, which sets up %LOCALAPPDATA%\Corvane, and a call pops; installing
# the same version over the running program, then a newer build, keeps the
# customer and the call; the uninstaller removes program and entries and keeps
# the data; /CURRENTUSER /AUTOSTART writes its Run entry, which uninstalling
# removes. Screenshots go to the artifacts.
#   install-under-wine.sh <setup.exe> <zip> <program folder> <modemsim> <version> <build number> <publisher>
SETUP=$1 ZIP=$2 FOLDER=$3 MODEMSIM=$4 VERSION=$5 BUILD=$6 PUBLISHER=$7
DEPS=""
source "$(dirname "$0")/wine-lib.sh"
[ -f "$SETUP" ] && [ -f "$ZIP" ] || fail "build the target windows-packages first"
start_wine_desktop

C="$PREFIX/drive_c"
DATA="$C/users/$(whoami)/AppData/Local/Corvane"
INSTALLED="$C/Program Files/Corvane"
SHORTCUT="$C/ProgramData/Microsoft/Windows/Start Menu/Programs/Corvane.lnk"
UNINSTALL='Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane'
RUN='Software\Microsoft\Windows\CurrentVersion\Run'
customer() {
    sqlite3 "$1" "INSERT INTO customer (customercode, customername, tel) VALUES ('A001', '张三商店', '02087654321')"
}
# rows <tel.mdb>: the customer, its calls and call-log rows.
rows() {
    sqlite3 "$1" "SELECT (SELECT count(*) FROM customer WHERE customercode = 'A001') || ' ' ||
        (SELECT count(*) FROM calls WHERE customercode = 'A001') || ' ' ||
        (SELECT count(*) FROM detail WHERE customercode = 'A001')"
}
# quit_program <Corvane.exe>: --quit ends the running copy and its window.
quit_program() {
    wine_run "$1" --quit || fail "--quit did not end the running copy"
    wait_for 100 eval '! find_main' || fail "the window stayed after --quit"
    await_wine
}
# line_opened <n>: the caller-ID command came n times, once per start.
line_opened() {
    wait_for 300 eval '[ "$(grep -o "at#cid=1" "$WORK/modem.rec" 2>/dev/null | wc -l)" -ge '"$1"' ]'
}
# registry_has <key> <value name> [text]: the value is set and holds the text.
# Exported, since reg.exe prints Chinese as question marks.
registry_has() {
    rm -f "$WORK/key.reg"
    wine_run regedit /E "$(windows_path "$WORK/key.reg")" "$1" >/dev/null 2>&1
    [ -f "$WORK/key.reg" ] && iconv -f UTF-16 -t UTF-8 "$WORK/key.reg" | grep "^\"$2\"=" | grep -qF -- "${3:-}"
}

# The portable folder, unpacked where the user may write, keeps its data
# beside the exe.
mkdir -p "$WORK/portable"
(cd "$WORK/portable" && LC_ALL=C.UTF-8 cmake -E tar xf "$ZIP") || fail "the zip could not be unpacked"
PORTABLE=$(echo "$WORK"/portable/Corvane-*)
customer "$PORTABLE/tel.mdb"
wine_run "$PORTABLE/Corvane.exe" >"$WORK/portable.log" 2>&1 &
await_main
line_opened 1 || fail "the portable copy did not open COM1"
call_pops 02087654321 windows-portable-call.png
quit_program "$PORTABLE/Corvane.exe"
[ "$(rows "$PORTABLE/tel.mdb")" = "1 1 1" ] || fail "portable rows after the call: $(rows "$PORTABLE/tel.mdb")"
[ ! -e "$DATA" ] || fail "the portable copy wrote to %LOCALAPPDATA%"

# The installer's pages, as a user steps through them, then cancelled.
wine_run "$SETUP" >/dev/null 2>&1 &
wait_for 300 eval 'SETUP_WIN=$(xdotool search --onlyvisible --name "Corvane" 2>/dev/null | head -1); [ -n "$SETUP_WIN" ]' ||
    fail "the installer showed no window"
for page in welcome licence users components; do
    sleep 2
    screenshot "windows-setup-$page.png"
    xdotool windowactivate --sync "$SETUP_WIN" 2>/dev/null
    xdotool key Return
done
end_wine

wine_run "$SETUP" /S || fail "the silent install failed"
[ -f "$INSTALLED/Corvane.exe" ] && [ -f "$INSTALLED/uninstall.exe" ] || fail "nothing installed under Program Files"
[ ! -e "$INSTALLED/tel.mdb" ] || fail "the installer put a tel.mdb in the program folder"
[ -f "$SHORTCUT" ] || fail "no Start-menu entry"
registry_has "HKEY_LOCAL_MACHINE\\$UNINSTALL" DisplayVersion "$VERSION.0.$BUILD" && registry_has "HKEY_LOCAL_MACHINE\\$UNINSTALL" Publisher "$PUBLISHER" ||
    fail "no uninstall entry with version and publisher"
! registry_has "HKEY_LOCAL_MACHINE\\$RUN" Corvane || fail "a silent install starts at login"

# The Start-menu entry starts the program, which sets up the user's data.
wine_run start /unix "$SHORTCUT"
await_main
[ -f "$DATA/tel.mdb" ] && [ -f "$DATA/zel.ini" ] || fail "the first start did not set up %LOCALAPPDATA%\\Corvane"
quit_program "$INSTALLED/Corvane.exe"
customer "$DATA/tel.mdb"
wine_run start /unix "$SHORTCUT"
await_main
line_opened 3 || fail "the installed copy did not open COM1"
call_pops 02087654321 windows-installed-call.png
screenshot windows-installed-call-desktop.png

# The same version over the running program: it is asked to end first.
wine_run "$SETUP" /S || fail "installing over the running program failed"
wait_for 100 eval '! find_main' || fail "the installer did not end the running program"
await_wine
[ "$(rows "$DATA/tel.mdb")" = "1 1 1" ] || fail "rows after reinstalling: $(rows "$DATA/tel.mdb")"
# A newer build of the same program folder.
NEWER="$WORK/CorvaneSetup-newer.exe"
"$HERE/../../tools/windows/make-installer.sh" "$FOLDER" "$NEWER" "$VERSION" $((BUILD + 1)) "$PUBLISHER" ||
    fail "the newer installer could not be made"
wine_run "$NEWER" /S || fail "the upgrade failed"
registry_has "HKEY_LOCAL_MACHINE\\$UNINSTALL" DisplayVersion "$VERSION.0.$((BUILD + 1))" || fail "the upgrade kept the old version"
[ "$(rows "$DATA/tel.mdb")" = "1 1 1" ] || fail "rows after the upgrade: $(rows "$DATA/tel.mdb")"

# The uninstaller runs from a copy of itself, so the prefix is waited for.
wine_run "$INSTALLED/uninstall.exe" /S
await_wine
[ ! -e "$INSTALLED" ] || fail "the uninstaller left $(ls "$INSTALLED")"
[ ! -e "$SHORTCUT" ] || fail "the uninstaller left the Start-menu entry"
! registry_has "HKEY_LOCAL_MACHINE\\$UNINSTALL" DisplayName || fail "the uninstaller left its entry"
[ "$(rows "$DATA/tel.mdb")" = "1 1 1" ] || fail "the uninstaller did not keep the data"

# For the current user alone, starting at login.
wine_run "$SETUP" /S /CURRENTUSER /AUTOSTART || fail "the install for the current user failed"
MINE="$C/users/$(whoami)/AppData/Local/Programs/Corvane"
registry_has "HKEY_CURRENT_USER\\$RUN" Corvane "--tray" || fail "/AUTOSTART wrote no Run entry"
[ -f "$MINE/Corvane.exe" ] || fail "the current user's install is not in their programs folder"
wine_run "$MINE/uninstall.exe" /S
await_wine
! registry_has "HKEY_CURRENT_USER\\$RUN" Corvane || fail "uninstalling left the Run entry"
[ ! -e "$MINE" ] || fail "the uninstaller left the current user's program"
pass "the portable zip and the installer under Wine: install, start, call, upgrade, uninstall"
