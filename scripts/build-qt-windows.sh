#!/usr/bin/env bash
# Builds Qt for Windows (Core, Gui, Widgets, Network; shared DLLs, release) from Debian's own
# source of qt6-base, the version of the installed qt6-base-dev, with the MinGW-w64 compilers and
# Debian's Qt as the host Qt (moc, rcc, uic come from there). Only what the program uses is built.
# It installs into a cache folder outside the checkout, named after the Qt version and a hash of
# the options, and reuses it when it is complete. Prints that folder on standard output; what it
# does and how long it took go to standard error.
#
# Environment: KORVANE_QT_CACHE (default /var/cache/ql-korvane), KORVANE_BUILD_JOBS (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
exec 3>&1 1>&2 # the folder goes to descriptor 3, the original standard output

scripts/install-deps.sh g++-mingw-w64-x86-64-posix dpkg-dev qt6-base-dev

cache=${KORVANE_QT_CACHE:-/var/cache/ql-korvane}
jobs=${KORVANE_BUILD_JOBS:-2}
debian_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${debian_version%%+*}

# What is not built: modules, image formats, text shaping beyond the system's, TLS, network and
# widget features the program never uses (the widgets that Qt's own dialogs and the native style
# include stay). Two options are forced by this source: Debian's "dfsg" source has no wintab, which tablet
# events need, and 6.4's Windows platform plugin does not compile without OpenGL, so OpenGL stays
# on (as "Dynamic OpenGL", which needs no OpenGL library at build time).
options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DFEATURE_optimize_size=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_testlib=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF -DINPUT_openssl=no
    -DFEATURE_system_zlib=OFF -DFEATURE_zstd=OFF -DFEATURE_commandlineparser=OFF
    -DFEATURE_sharedmemory=OFF -DFEATURE_systemsemaphore=OFF -DFEATURE_jalalicalendar=OFF
    -DFEATURE_islamiccivilcalendar=OFF -DFEATURE_hijricalendar=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_movie=OFF -DFEATURE_pdf=OFF
    -DFEATURE_freetype=OFF -DFEATURE_harfbuzz=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
    -DFEATURE_directwrite3=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_textodfwriter=OFF -DFEATURE_undocommand=OFF -DFEATURE_picture=OFF -DFEATURE_tuiotouch=OFF
    -DFEATURE_ssl=OFF -DFEATURE_schannel=OFF -DFEATURE_dtls=OFF -DFEATURE_sctp=OFF
    -DFEATURE_networklistmanager=OFF -DFEATURE_dnslookup=OFF -DFEATURE_networkdiskcache=OFF
    -DFEATURE_localserver=OFF -DFEATURE_gssapi=OFF -DFEATURE_brotli=OFF -DFEATURE_libproxy=OFF
    -DFEATURE_topleveldomain=OFF
    -DFEATURE_style_fusion=OFF -DFEATURE_mdiarea=OFF -DFEATURE_calendarwidget=OFF
    -DFEATURE_datetimeedit=OFF -DFEATURE_wizard=OFF -DFEATURE_dial=OFF -DFEATURE_lcdnumber=OFF
    -DFEATURE_undoview=OFF -DFEATURE_fontdialog=OFF -DFEATURE_colordialog=OFF
    -DFEATURE_graphicsview=OFF -DFEATURE_keysequenceedit=OFF -DFEATURE_splashscreen=OFF
    -DFEATURE_fontcombobox=OFF -DFEATURE_columnview=OFF -DFEATURE_datawidgetmapper=OFF
    -DFEATURE_toolbox=OFF -DFEATURE_syntaxhighlighter=OFF -DFEATURE_errormessage=OFF
    -DFEATURE_tablewidget=OFF -DFEATURE_whatsthis=OFF)

# Parts of the source tree left out where no option reaches them: the OpenGL modules (the Windows
# platform plugin links them but uses only Qt Gui's OpenGL classes), the "minimal" platform, the
# TLS and network information plugins.
trims=(
    's/^ *add_subdirectory(opengl\(widgets\)\?)$//' src/CMakeLists.txt
    's/^ *Qt::OpenGLPrivate$//' src/plugins/platforms/windows/CMakeLists.txt
    's/^ *add_subdirectory(minimal)$//' src/plugins/platforms/CMakeLists.txt
    's/^ *add_subdirectory(\(networkinformation\|tls\))$//' src/plugins/CMakeLists.txt)

key=$( (echo "$debian_version"; x86_64-w64-mingw32-g++-posix -dumpfullversion; printf '%s\n' "${options[@]}" "${trims[@]}"
        cat cmake/mingw-w64-compilers.cmake) | sha256sum | cut -c1-12)
prefix="$cache/qt-$qt_version-mingw-$key"
complete_mark="$prefix/.complete"
reuse() {
    [ -e "$complete_mark" ] || return 1
    echo "Qt $qt_version for Windows: reusing $prefix"
    echo "$prefix" >&3
}
reuse && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! mkdir -p "$cache" 2>/dev/null || [ ! -w "$cache" ]; then
    $sudo mkdir -p "$cache"
    $sudo chown "$(id -u):$(id -g)" "$cache"
fi
# One build per folder at a time: a second caller waits for the first and then reuses its result.
exec 9>"$cache/qt-$qt_version-mingw-$key.lock"
flock 9
reuse && exit 0

# The source: Debian's, through a deb-src entry for bookworm's main.
if ! apt-get source --print-uris "qt6-base=$debian_version" >/dev/null 2>&1; then
    $sudo tee /etc/apt/sources.list.d/ql-korvane-deb-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
fi
work="$cache/work-$key"
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
echo "Qt $qt_version for Windows: fetching Debian's source qt6-base $debian_version"
(cd "$work" && apt-get source -qq "qt6-base=$debian_version" >"$work/source.log" 2>&1) || { cat "$work/source.log"; exit 1; }
source_dir=$(echo "$work"/qt6-base-*/)
for ((i = 0; i < ${#trims[@]}; i += 2)); do
    sed -i "${trims[i]}" "$source_dir/${trims[i + 1]}"
done

# Qt's generated toolchain file for programs loads this one by its path: it lives in the prefix.
cp cmake/mingw-w64-compilers.cmake "$prefix/mingw-w64-compilers.cmake"

echo "Qt $qt_version for Windows: configuring into $prefix"
cmake -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-compilers.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${options[@]}" >"$work/configure.log" 2>&1 ||
    { tail -40 "$work/configure.log"; exit 1; }

steps=$(ninja -C "$work/build" -n | tail -1 | sed -E 's/^\[[0-9]+\/([0-9]+)\].*/\1/')
echo "Qt $qt_version for Windows: building $steps steps with $jobs jobs (log: $work/build.log)"
# Progress every tenth of the way; the whole output goes to the log, shown in part on failure.
if ! ninja -C "$work/build" -j "$jobs" 2>&1 | tee "$work/build.log" | awk '
        match($0, /^\[[0-9]+\/[0-9]+\]/) {
            split(substr($0, 2, RLENGTH - 2), n, "/")
            tenth = int(n[1] * 10 / n[2])
            if (tenth > shown) { shown = tenth; printf "  %3d %% (%d/%d)\n", tenth * 10, n[1], n[2]; fflush() }
        }'; then
    grep -B2 -A10 -m5 -E 'error|FAILED' "$work/build.log" || tail -40 "$work/build.log"
    exit 1
fi
cmake --install "$work/build" --strip >"$work/install.log" 2>&1 || { tail -40 "$work/install.log"; exit 1; }
touch "$complete_mark"
rm -rf "$work"

# Processor time of every command this script ran: the second line of `times` (user and system,
# "12m3.5s" each), read from a file since in a pipe `times` would speak of the pipe's own shell.
times_file=$(mktemp)
times >"$times_file"
processor=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%.0f", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$times_file")
rm -f "$times_file"
elapsed=$SECONDS
printf 'Qt %s for Windows built in %d min %02d s (%s processor seconds), %s steps\n' "$qt_version" \
    $((elapsed / 60)) $((elapsed % 60)) "$processor" "$steps"
echo "$prefix" >&3
