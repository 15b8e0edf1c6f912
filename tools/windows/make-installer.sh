#!/usr/bin/env bash
# Makes the Windows installer from a program folder that program-folder.sh
# gathered, with dist/windows/corvane.nsi:
#   make-installer.sh <folder> <setup.exe> <version> <build number> <publisher>
# The file version is the version's numbers and the build number, four in all.
set -euo pipefail
folder=$1 out=$2 version=$3 build=$4 publisher=$5
dist="$(cd "$(dirname "$0")/../../dist/windows" && pwd)"
IFS=. read -r major minor patch _ <<<"$version"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DFILE_VERSION="$major.${minor:-0}.${patch:-0}.$build" \
    -DPUBLISHER="$publisher" -DFOLDER="$folder" -DICON="$dist/corvane.ico" -DOUTFILE="$out" "$dist/corvane.nsi"
