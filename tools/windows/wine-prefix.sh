#!/usr/bin/env bash
# Makes a Wine prefix as the tests and benchmarks under Wine run Corvane in:
#   wine-prefix.sh <dependency cache> <Wine prefix> <serial device>
# COM1 is the device (a pseudo-terminal), set in HKLM\Software\Wine\Ports:
# a dosdevices link alone is rewritten at every start of the prefix's
# wineserver. Every other COM number has a value, so Wine hands none of them
# to the machine's own serial ports. The dialogs' 宋体, which a Chinese
# Windows has, is the machine's Chinese font.
set -euo pipefail
deps=$1 prefix=$2 device=$3
run="$(cd "$(dirname "$0")" && pwd)/wine-run.sh"
"$run" "$deps" "$prefix" wineboot --init >/dev/null 2>&1
{
    printf '\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n"COM1"="%s"\r\n' "$device"
    for n in $(seq 2 256); do printf '"COM%s"=""\r\n' "$n"; done
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    printf '"宋体"="WenQuanYi Micro Hei"\r\n"SimSun"="WenQuanYi Micro Hei"\r\n'
} | iconv -f UTF-8 -t UTF-16LE >"$prefix/corvane.reg"
# Named from the prefix's folder, which Wine sees as a folder of drive Z:.
(cd "$prefix" && "$run" "$deps" "$prefix" regedit /S corvane.reg >/dev/null 2>&1)
rm "$prefix/corvane.reg"
# The values are read by the next start of the wineserver.
WINEPREFIX="$prefix" /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
if ! "$run" "$deps" "$prefix" reg query 'HKLM\Software\Wine\Ports' /v COM1 2>/dev/null | grep -qF "$device"; then
    echo "wine-prefix: COM1 could not be mapped to $device" >&2
    exit 1
fi
rm -f "$prefix/dosdevices/com"*
ln -s "$device" "$prefix/dosdevices/com1"
