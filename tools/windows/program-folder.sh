#!/usr/bin/env bash
# Gathers the Windows program folder as a shop gets it, in the portable zip
# and in the installer: Corvane.exe with the DLLs it really imports, followed
# through Qt's, MinGW's and libpq's own imports (a DLL found in none of their
# folders must be one of Windows' own, which Wine's list of system DLLs
# checks), Qt's Windows platform and style plugins, Qt's Chinese texts, and
# the defaults and documents beside them. Binaries are stripped. An empty
# tel.mdb is made for the portable folder, which is its own data folder.
#   program-folder.sh <folder> <Corvane.exe> <dependency cache> <source dir> <default zel.ini>
set -euo pipefail
folder=$1 exe=$2 deps=$3 source=$4 ini=$5
objdump=x86_64-w64-mingw32-objdump
strip=x86_64-w64-mingw32-strip
runtime="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
search=("$deps/bin" "$runtime" /usr/x86_64-w64-mingw32/lib)
system=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows

rm -rf "$folder"
mkdir -p "$folder/platforms" "$folder/styles" "$folder/translations"
cp "$exe" "$folder/Corvane.exe"
cp "$deps/plugins/platforms/qwindows.dll" "$folder/platforms/"
cp "$deps/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"

# find_dll <name>: the file of that name (Windows names ignore case) in the
# folders searched, or nothing.
find_dll() {
    local dir
    for dir in "${search[@]}"; do
        find "$dir" -maxdepth 1 -iname "$1" -print -quit
    done | head -1
}

queue=("$folder/Corvane.exe" "$folder/platforms/qwindows.dll" "$folder/styles/qwindowsvistastyle.dll")
while [ ${#queue[@]} -gt 0 ]; do
    binary=${queue[0]}
    queue=("${queue[@]:1}")
    for name in $("$objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p' | tr -d '\r'); do
        [ -n "$(find "$folder" -maxdepth 1 -iname "$name" -print -quit)" ] && continue
        # API sets (Qt's platform plugin imports WinRT's) are no files: the
        # loader of Windows 10 and later, and Wine's, maps them to its own DLLs.
        case "${name,,}" in api-ms-win-* | ext-ms-win-*) continue ;; esac
        found=$(find_dll "$name")
        if [ -n "$found" ]; then
            cp "$found" "$folder/"
            queue+=("$folder/$(basename "$found")")
        elif [ -z "$(find "$system" -maxdepth 1 -iname "$name" -print -quit)" ]; then
            echo "program-folder: $binary imports $name, found neither here nor among Windows' own" >&2
            exit 1
        fi
    done
done
find "$folder" -iname '*.exe' -o -iname '*.dll' | xargs "$strip" --strip-unneeded

cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$folder/translations/"
# Qt finds its plugins and texts from here rather than from where it was built.
printf '[Paths]\r\nPrefix=.\r\nPlugins=.\r\nTranslations=translations\r\n' >"$folder/qt.conf"

cp "$source/resources/tel.sql" "$source"/resources/ringin*.wav "$ini" "$folder/"
sqlite3 "$folder/tel.mdb" <"$source/resources/tel.sql" >/dev/null
# Notepad shows these with the Windows line ends; the Chinese one is marked as UTF-8.
sed 's/$/\r/' "$source/LICENSE" >"$folder/LICENSE.txt"
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$source/dist/windows/说明.txt"; } >"$folder/说明.txt"
