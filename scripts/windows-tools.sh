#!/usr/bin/env bash
# Makes what building and testing the Windows build on Debian 12 needs: the mingw-w64
# compilers, Wine, Qt cross-built for mingw, lame.exe, mpcdec.exe and opusenc.exe, and a
# headless 64-bit Wine prefix. Everything it makes lives outside the clone, in
#   ${TRACKMILL_WIN_CACHE:-$HOME/.cache/trackmill-windows}
# so a second run only checks and takes seconds.
#
#   eval "$(scripts/windows-tools.sh)"    # prints QT_MINGW=... WIN_TOOLS=... WINEPREFIX=...
#   source scripts/windows-tools.sh       # exports the same variables
#
# Knobs: QT_MINGW (where Qt for mingw is, default /opt/qt6-mingw64), TRACKMILL_WIN_JOBS
# (parallel build jobs, default all cores), TRACKMILL_WIN_QT=source (build Qt from
# Debian's source even when a prebuilt copy is at hand). Progress goes to stderr.

if [[ "${BASH_SOURCE[0]}" != "$0" ]]; then
  # Sourced: the work runs in a child so strict mode and a failure stay out of the caller.
  _trackmill_win_vars=$(bash "${BASH_SOURCE[0]}") || { unset _trackmill_win_vars; return 1; }
  eval "$_trackmill_win_vars"
  export QT_MINGW WIN_TOOLS WINEPREFIX WINEARCH WINE
  unset _trackmill_win_vars
  return 0
fi

set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CACHE=${TRACKMILL_WIN_CACHE:-$HOME/.cache/trackmill-windows}
JOBS=${TRACKMILL_WIN_JOBS:-$(nproc)}
QT_DEFAULT=/opt/qt6-mingw64
QT_TARBALL=$ROOT/../shared/toolchains/qt6-mingw64-6.4.2.tar.xz
HOST=x86_64-w64-mingw32
# Debian 12 puts the 64-bit loader here; its /usr/bin/wine runs it when there is no 32-bit Wine.
WINE=/usr/lib/wine/wine64
SRC_LIST=/etc/apt/sources.list.d/trackmill-bookworm-src.sources
# Bump when a recipe below changes, so caches made by an older one are rebuilt.
RECIPE=1
# The same for lame.exe, mpcdec.exe and opusenc.exe. 2: built as people find them, without
# a manifest that makes their ANSI code page UTF-8, so the tests show that Trackmill never
# needs them to read a name.
PROGRAM_RECIPE=2

PACKAGES=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64 wine nsis zip xvfb xauth openbox fonts-dejavu-core cmake ninja-build
  make dpkg-dev xz-utils perl pkg-config          # unpacking and building Debian's sources
  qt6-base-dev qt6-base-dev-tools qt6-l10n-tools # moc, uic, rcc, lrelease for the cross builds
  qt6-translations-l10n                           # the German catalogue of Qt's own dialogs, for the zip
  musepack-tools                                  # reference decoder and encoder for the tests
  googletest ffmpeg python3-mutagen               # the tests under Wine and what checks their MP3s
  opus-tools                                      # opusinfo, which checks opusenc.exe's files
  xdotool x11-utils imagemagick                   # driving and photographing the window
)

log() { printf 'windows-tools: %s\n' "$*" >&2; }
die() { log "error: $*"; exit 1; }

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# Runs a long step with its output in a log, showing the log's end when it fails.
run_logged() {
  local name=$1; shift
  local logfile=$CACHE/logs/$name.log
  if ! "$@" >"$logfile" 2>&1; then
    log "$name failed; the end of $logfile:"
    tail -n 40 "$logfile" >&2
    exit 1
  fi
}

elapsed() {
  local s=$(( $(date +%s) - $1 ))
  printf '%dm%02ds' $((s / 60)) $((s % 60))
}

install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq >&2
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# Debian 12's source packages, without touching the lists of other configured sources.
SOURCES_READY=0
ensure_deb_src() {
  [ "$SOURCES_READY" -eq 1 ] && return 0
  if [ ! -f "$SRC_LIST" ]; then
    log "adding bookworm deb-src as $SRC_LIST"
    printf '%s\n' \
      'Types: deb-src' \
      'URIs: http://deb.debian.org/debian' \
      'Suites: bookworm bookworm-updates' \
      'Components: main' \
      'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' | $SUDO tee "$SRC_LIST" >/dev/null
  fi
  log "updating the bookworm source index"
  $SUDO apt-get update -qq -o Dir::Etc::sourcelist="$SRC_LIST" -o Dir::Etc::sourceparts=- \
    -o APT::Get::List-Cleanup=0 >&2
  SOURCES_READY=1
}

# Unpacks Debian's source of $1 under $CACHE/src and prints the source tree's path.
# A package whose Debian tarball is not served still comes from its original tarball.
fetch_source() {
  local pkg=$1 dir=$CACHE/src/$1 tree
  tree=$(find "$dir" -mindepth 1 -maxdepth 1 -type d -name '*[0-9]*' 2>/dev/null | head -n 1)
  if [ -z "$tree" ] || [ ! -f "$dir/.unpacked" ]; then
    ensure_deb_src
    rm -rf "$dir" && mkdir -p "$dir"
    log "fetching the source of $pkg"
    if ! (cd "$dir" && apt-get source -qq "$pkg" >"$CACHE/logs/source-$pkg.log" 2>&1); then
      local orig
      orig=$(find "$dir" -maxdepth 1 -name "${pkg}_*.orig.tar.*" | head -n 1)
      [ -n "$orig" ] || { tail -n 20 "$CACHE/logs/source-$pkg.log" >&2; die "apt-get source $pkg"; }
      log "only the original tarball of $pkg was served; unpacking that"
      tar -xf "$orig" -C "$dir"
    fi
    tree=$(find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1)
    [ -n "$tree" ] || die "no source tree for $pkg in $dir"
    touch "$dir/.unpacked"
  fi
  printf '%s\n' "$tree"
}

# The toolchain file the builds use: the project's own when the clone has it.
toolchain_file() {
  local own=$CACHE/toolchain/mingw-w64.cmake
  mkdir -p "$CACHE/toolchain"
  if [ -f "$ROOT/cmake/mingw-w64.cmake" ]; then
    cmp -s "$ROOT/cmake/mingw-w64.cmake" "$own" || cp "$ROOT/cmake/mingw-w64.cmake" "$own"
  elif [ ! -f "$own" ]; then
    cat >"$own" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $HOST-gcc-posix)
set(CMAKE_CXX_COMPILER $HOST-g++-posix)
set(CMAKE_RC_COMPILER $HOST-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$HOST \${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
  fi
  printf '%s\n' "$own"
}

has_qt() { [ -f "$1/lib/cmake/Qt6/Qt6Config.cmake" ]; }

# Qt's own build from Debian's qt6-base source, installed into the cache (about an hour).
build_qt() {
  local prefix=$1 start tree build toolchain wine_dir
  start=$(date +%s)
  log "building Qt for mingw from Debian's qt6-base source into $prefix (about an hour on two cores)"
  tree=$(fetch_source qt6-base)

  # Debian's source drops the tablet headers the Windows platform plugin includes; Wine's
  # headers stand in, given the macros they expect from Wine's own build.
  if [ ! -f "$tree/src/3rdparty/wintab/wintab.h" ]; then
    wine_dir=$CACHE/src/libwine-dev
    rm -rf "$wine_dir" && mkdir -p "$wine_dir"
    ensure_deb_src
    (cd "$wine_dir" && run_logged libwine-dev-download apt-get download libwine-dev)
    dpkg -x "$wine_dir"/libwine-dev_*.deb "$wine_dir/root"
    local headers
    headers=$(dirname "$(find "$wine_dir/root" -name wintab.h -path '*/windows/*' | head -n 1)")
    [ -f "$headers/pktdef.h" ] || die "libwine-dev has no windows/wintab.h and pktdef.h"
    mkdir -p "$tree/src/3rdparty/wintab"
    {
      printf '%s\n' '#define API WINAPI' '#ifdef UNICODE' '#define WINELIB_NAME_AW(n) n##W' \
        '#else' '#define WINELIB_NAME_AW(n) n##A' '#endif' \
        '#define DECL_WINELIB_TYPE_AW(t) typedef WINELIB_NAME_AW(t) t;'
      cat "$headers/wintab.h"
    } >"$tree/src/3rdparty/wintab/wintab.h.tmp"
    cp "$headers/pktdef.h" "$tree/src/3rdparty/wintab/pktdef.h"
    mv "$tree/src/3rdparty/wintab/wintab.h.tmp" "$tree/src/3rdparty/wintab/wintab.h"
  fi

  # Installed Qt names its toolchain file, so that file lives beside it, not in a clone.
  toolchain=$prefix.toolchain.cmake
  cp "$(toolchain_file)" "$toolchain"

  build=$CACHE/build/qt6-base
  mkdir -p "$build"
  log "configuring Qt (log: $CACHE/logs/qt-configure.log)"
  run_logged qt-configure cmake -S "$tree" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF \
    -DFEATURE_network=OFF -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_testlib=OFF -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF \
    -DFEATURE_zstd=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_libpng=OFF \
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF -DFEATURE_sql_sqlite=OFF
  log "building Qt with $JOBS jobs (log: $CACHE/logs/qt-build.log)"
  run_logged qt-build cmake --build "$build" -j "$JOBS"
  run_logged qt-install cmake --install "$build"
  has_qt "$prefix" || die "Qt's install left no $prefix/lib/cmake/Qt6"
  log "Qt for mingw built from source in $(elapsed "$start")"
}

ensure_qt() {
  local want=${QT_MINGW:-$QT_DEFAULT}
  if [ "${TRACKMILL_WIN_QT:-}" = source ]; then
    QT_MINGW=$CACHE/qt6-mingw64
    has_qt "$QT_MINGW" || build_qt "$QT_MINGW"
    return 0
  fi
  for QT_MINGW in "$want" "$QT_DEFAULT" "$CACHE/qt6-mingw64"; do
    if has_qt "$QT_MINGW"; then
      [ "$QT_MINGW" = "$want" ] || log "no Qt in $want; using the one in $QT_MINGW"
      return 0
    fi
  done
  if [ -f "$QT_TARBALL" ]; then
    # The prebuilt copy's files name /opt/qt6-mingw64, so it goes there and nowhere else.
    [ ! -e "$QT_DEFAULT" ] || die "$QT_DEFAULT exists but holds no Qt; move it away or set QT_MINGW"
    log "unpacking $(basename "$QT_TARBALL") to $QT_DEFAULT"
    local tmp
    tmp=$($SUDO mktemp -d "$(dirname "$QT_DEFAULT")/.qt6-mingw64.XXXXXX")
    $SUDO tar -xJf "$QT_TARBALL" -C "$tmp"
    $SUDO mv "$tmp/qt6-mingw64" "$QT_DEFAULT"
    $SUDO rmdir "$tmp"
    QT_MINGW=$QT_DEFAULT
    has_qt "$QT_MINGW" || die "$QT_TARBALL held no lib/cmake/Qt6"
    return 0
  fi
  QT_MINGW=$CACHE/qt6-mingw64
  build_qt "$QT_MINGW"
}

build_lame() {
  local out=$CACHE/bin/lame.exe stamp=$CACHE/bin/.lame.$PROGRAM_RECIPE tree build start
  [ -f "$out" ] && [ -f "$stamp" ] && return 0
  start=$(date +%s)
  tree=$(fetch_source lame)
  build=$CACHE/build/lame
  rm -rf "$build" && mkdir -p "$build"
  log "cross-building lame.exe (log: $CACHE/logs/lame-*.log)"
  (cd "$build" && run_logged lame-configure "$tree/configure" --host=$HOST \
     CC=$HOST-gcc-posix --disable-shared --enable-static --disable-gtktest \
     --disable-frontend-gtk LDFLAGS=-static)
  run_logged lame-build make -C "$build" -j "$JOBS"
  "$HOST-strip" -o "$out.tmp" "$build/frontend/lame.exe"
  mv "$out.tmp" "$out"
  touch "$stamp"
  log "lame.exe built in $(elapsed "$start")"
}

build_mpcdec() {
  local out=$CACHE/bin/mpcdec.exe stamp=$CACHE/bin/.mpcdec.$PROGRAM_RECIPE tree build start
  [ -f "$out" ] && [ -f "$stamp" ] && return 0
  start=$(date +%s)
  tree=$(fetch_source libmpc)
  build=$CACHE/build/libmpc
  rm -rf "$build" && mkdir -p "$build"
  log "cross-building mpcdec.exe (log: $CACHE/logs/mpcdec-*.log)"
  # The cuefile and replaygain libraries are only for mpcchap and mpcgain, never built here.
  run_logged mpcdec-configure cmake -S "$tree" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file)" -DCMAKE_BUILD_TYPE=Release -DSHARED=OFF \
    -DCMAKE_EXE_LINKER_FLAGS="-static" \
    -DCUEFILE_INCLUDE_DIR=/nonexistent -DCUEFILE_LIBRARY=/nonexistent/libcue.a \
    -DREPLAY_GAIN_INCLUDE_DIR=/nonexistent -DREPLAY_GAIN_LIBRARY=/nonexistent/libreplaygain.a
  run_logged mpcdec-build cmake --build "$build" --target mpcdec_cmd -j "$JOBS"
  "$HOST-strip" -o "$out.tmp" "$(find "$build" -name mpcdec.exe | head -n 1)"
  mv "$out.tmp" "$out"
  touch "$stamp"
  log "mpcdec.exe built in $(elapsed "$start")"
}

# Configures Debian's source of $2 for mingw in $CACHE/build/$2, static libraries only, to
# install into the prefix $1; the rest are configure's own options.
configure_static() {
  local prefix=$1 pkg=$2 tree build=$CACHE/build/$2
  shift 2
  tree=$(fetch_source "$pkg")
  rm -rf "$build" && mkdir -p "$build"
  (cd "$build" && run_logged "$pkg-configure" nice -n 10 "$tree/configure" --host=$HOST \
     --prefix="$prefix" CC=$HOST-gcc-posix --disable-shared --enable-static \
     --disable-dependency-tracking "$@")
}

# The same, then built and installed there.
install_static() {
  configure_static "$@"
  run_logged "$2-build" nice -n 10 make -C "$CACHE/build/$2" -j "$JOBS" install
}

# opusenc.exe from opus-tools over libogg, libopus, libopusenc and opusfile, each built for
# what opusenc needs into a prefix of their own.
build_opusenc() {
  local out=$CACHE/bin/opusenc.exe stamp=$CACHE/bin/.opusenc.$PROGRAM_RECIPE
  local prefix=$CACHE/opus-mingw64 build=$CACHE/build/opus-tools start pkg
  local packages=(libogg opus libopusenc opusfile opus-tools)
  [ -f "$out" ] && [ -f "$stamp" ] && return 0
  start=$(date +%s)
  # One look at the source index for all five, not one each.
  for pkg in "${packages[@]}"; do
    [ -f "$CACHE/src/$pkg/.unpacked" ] || { ensure_deb_src; break; }
  done
  log "cross-building opusenc.exe (log: $CACHE/logs/{$(IFS=,; echo "${packages[*]}")}-*.log)"
  rm -rf "$prefix"
  # Only the prefix's .pc files: the Linux ones would hand the host's libraries to the link.
  local -x PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=
  install_static "$prefix" libogg
  install_static "$prefix" opus --disable-doc --disable-extra-programs
  install_static "$prefix" libopusenc --disable-doc --disable-examples
  install_static "$prefix" opusfile --disable-http --disable-doc --disable-examples
  # Opus and opus-tools build with _FORTIFY_SOURCE, whose checks mingw-w64 10 keeps in libssp.
  configure_static "$prefix" opus-tools --without-flac --disable-pie LIBS=-lssp
  # opusenc alone: opusdec, opusinfo and opusrtp are not needed. Libtool keeps a plain
  # -static to itself; -all-static reaches the linker, so libssp comes in, not its DLL.
  run_logged opus-tools-build nice -n 10 make -C "$build" -j "$JOBS" opusenc.exe LDFLAGS=-all-static
  "$HOST-strip" -o "$out.tmp" "$build/opusenc.exe"
  mv "$out.tmp" "$out"
  touch "$stamp"
  log "opusenc.exe built in $(elapsed "$start")"
}

ensure_wine_prefix() {
  local prefix=$CACHE/wine stamp=$CACHE/wine/.trackmill.$RECIPE f
  [ -f "$stamp" ] && return 0
  log "making the 64-bit Wine prefix $prefix"
  mkdir -p "$prefix"
  # No display is needed; the mono and gecko installers are left out so nothing asks.
  WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    DISPLAY="" run_logged wineboot "$WINE" wineboot -i
  WINEPREFIX=$prefix wineserver -w
  [ -f "$prefix/system.reg" ] || die "wineboot left no $prefix/system.reg"
  # Wine has no sans font of its own; layouts are measured with DejaVu Sans.
  mkdir -p "$prefix/drive_c/windows/Fonts"
  for f in /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
           /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf; do
    cp "$f" "$prefix/drive_c/windows/Fonts/"
  done
  touch "$stamp"
}

main() {
  mkdir -p "$CACHE/bin" "$CACHE/logs" "$CACHE/src" "$CACHE/build"
  # One run at a time per cache: two callers must not build into the same folders.
  exec 9>"$CACHE/.lock"
  flock 9

  install_packages "${PACKAGES[@]}"
  ensure_qt
  build_lame
  build_mpcdec
  build_opusenc
  ensure_wine_prefix

  printf 'QT_MINGW=%q\n' "$QT_MINGW"
  printf 'WIN_TOOLS=%q\n' "$CACHE/bin"
  printf 'WINEPREFIX=%q\n' "$CACHE/wine"
  printf 'WINEARCH=win64\n'
  printf 'WINE=%q\n' "$WINE"
}

main "$@"
