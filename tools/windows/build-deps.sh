#!/usr/bin/env bash
# Builds what Corvane's Windows build links against — qtbase, SQLite and libpq,
# cross-compiled with Debian's mingw-w64 from Debian's own source packages —
# into a cache folder outside the source tree, once per machine. The folder is
# named by the versions and by this script's own hash, so a second run reuses
# it and a change to the script builds a new one. Prints the folder last.
#
# CORVANE_WINDOWS_CACHE names another cache root (default /var/cache/corvane-windows).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

qt_source=qt6-base=6.4.2+dfsg-10
sqlite_source=sqlite3=3.40.1-2+deb12u2
pq_source=postgresql-15=15.18-0+deb12u1

root="${CORVANE_WINDOWS_CACHE:-/var/cache/corvane-windows}"
hash="$(cat "$0" "$here/mingw-toolchain.cmake" | sha256sum | cut -c1-12)"
prefix="$root/qt6.4.2-sqlite3.40.1-pq15.18-$hash"
# One build of a cache at a time: another caller waits for it, then reuses it.
mkdir -p "$root"
exec 9>"$root/.lock-$hash"
flock -n 9 || { echo "Windows dependencies: waiting for the build of $prefix" >&2; flock 9; }
if [ -f "$prefix/.complete" ]; then
    echo "Windows dependencies: reusing $prefix" >&2
    echo "$prefix"
    exit 0
fi

for tool in x86_64-w64-mingw32-g++-posix ninja tclsh dpkg-source /usr/lib/qt6/libexec/moc; do
    command -v "$tool" >/dev/null ||
        { echo "build-deps: $tool is missing (./setup.sh test installs it)" >&2; exit 1; }
done

started=$SECONDS
step() { printf '[%4d s] %s\n' "$((SECONDS - started))" "$*" >&2; }
jobs="$(nproc)"
work="$root/work-$hash"
rm -rf "$prefix" "$work"
mkdir -p "$prefix" "$work/src"
# Qt's installed toolchain file names this one by its absolute path.
cp "$here/mingw-toolchain.cmake" "$prefix/"

step "fetching Debian's sources"
sources="$root/sources"
mkdir -p "$sources"
(cd "$sources" && apt-get source -qq --download-only "$qt_source" "$sqlite_source" "$pq_source")
cd "$work/src"
for dsc in "$sources/${qt_source/=/_}.dsc" "$sources/${sqlite_source/=/_}.dsc" \
           "$sources/${pq_source/=/_}.dsc"; do
    dpkg-source --no-check -x "$dsc" >/dev/null
done
qt_dir="$(ls -d "$work"/src/qt6-base-*/)"
sqlite_dir="$(ls -d "$work"/src/sqlite3-*/)"
pq_dir="$(ls -d "$work"/src/postgresql-15-*/)"

step "SQLite: the amalgamation, then a static library"
mkdir -p "$work/sqlite"
(cd "$work/sqlite" && "$sqlite_dir/configure" >/dev/null && make -s sqlite3.c >/dev/null)
mkdir -p "$prefix/include" "$prefix/lib"
x86_64-w64-mingw32-gcc-posix -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_DEFAULT_WAL_SYNCHRONOUS=2 \
    -c "$work/sqlite/sqlite3.c" -o "$work/sqlite/sqlite3.o"
x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$work/sqlite/sqlite3.o"
cp "$work/sqlite/sqlite3.h" "$prefix/include/"

step "libpq"
mkdir -p "$work/pq"
(cd "$work/pq" &&
    "$pq_dir/configure" --host=x86_64-w64-mingw32 --prefix="$prefix" \
        CC=x86_64-w64-mingw32-gcc-posix --without-readline --without-zlib --without-icu \
        --without-openssl --without-gssapi --without-ldap >/dev/null &&
    make -s -j"$jobs" -C src/include >/dev/null &&
    make -s -j"$jobs" -C src/common >/dev/null &&
    make -s -j"$jobs" -C src/port >/dev/null &&
    make -s -j"$jobs" -C src/interfaces/libpq >/dev/null &&
    make -s -C src/interfaces/libpq install >/dev/null)
cp "$pq_dir/src/include/postgres_ext.h" "$work/pq/src/include/pg_config_ext.h" "$prefix/include/"

step "qtbase: configure"
# Debian's +dfsg source drops the Wintab headers; the Windows platform plugin
# is built without Wintab tablets (pen input through Windows Ink remains).
# Direct2D stays, as without it 6.4.2 links the platform plugin against a
# DirectWrite font database that Gui then leaves out; the Direct2D platform
# plugin, which the program does not use, is left out (it needs Wintab too).
plugin="$qt_dir/src/plugins/platforms/windows"
sed -i 's/CONDITION QT_FEATURE_tabletevent$/CONDITION OFF/' "$plugin/CMakeLists.txt"
sed -i 's/QT_CONFIG(tabletevent)/0/' "$plugin/qwindowscontext.cpp"
sed -i '/include "qwindowstabletsupport.h"/d' "$plugin/qwindowspointerhandler.cpp"
mkdir -p "$work/qt"
(cd "$work/qt" &&
    "$qt_dir/configure" -prefix "$prefix" -release -shared -qt-host-path /usr -xplatform win32-g++ \
        -nomake examples -nomake tests -no-opengl -no-dbus -no-pkg-config -no-zstd -no-icu \
        -qt-zlib -qt-libpng -no-libjpeg -no-gif -qt-freetype -qt-harfbuzz -qt-pcre \
        -no-openssl -schannel \
        -no-feature-sql -no-feature-xml -no-feature-concurrent -no-feature-printsupport \
        -no-feature-vulkan -no-feature-direct2d1_1 -no-feature-androiddeployqt \
        -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-toolchain.cmake" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >"$work/qt-configure.log" 2>&1) ||
    { tail -40 "$work/qt-configure.log" >&2; exit 1; }

step "qtbase: build ($jobs jobs; about an hour on two cores)"
(cd "$work/qt" && ninja -j"$jobs" >"$work/qt-build.log" 2>&1) ||
    { grep -B5 -A20 'FAILED' "$work/qt-build.log" | head -80 >&2; exit 1; }
(cd "$work/qt" && ninja install >/dev/null)

# Qt's Chinese texts are the same on every platform: the Linux package's.
mkdir -p "$prefix/translations"
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$prefix/translations/"

rm -rf "$work"
touch "$prefix/.complete"
step "done: $prefix"
echo "$prefix"
