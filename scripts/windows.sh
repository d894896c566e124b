#!/usr/bin/env bash
# Cross-builds Trackmill for 64-bit Windows with mingw-w64 and tests it under Wine: the
# platform layer, the formats and the engine, trackmill-cli.exe converting real Musepack
# files with lame.exe and mpcdec.exe cross-built from Debian's sources as people find them
# (reading their arguments in the ANSI code page), and Trackmill.exe
# on a display with a window manager; then makes dist/Trackmill-<version>-win64.zip and
# the installer dist/Trackmill-<version>-win64-setup.exe, and tries the installer.
# Everything it needs outside the clone (Qt for mingw, the two programs, a Wine prefix)
# is made once by scripts/windows-tools.sh and kept in ~/.cache/trackmill-windows.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
started=$(date +%s)

# Two steps: a failure inside "$(...)" would not stop an eval.
tools=$(scripts/windows-tools.sh)
eval "$tools"
BUILD=${TRACKMILL_WIN_BUILD:-$ROOT/build-windows}
BIN=$BUILD/bin
jobs=$(nproc)

echo "== cross-build for Windows (warnings as errors)"
# -O2 as on Linux: GCC 12's -O3 warns falsely inside the standard library's inlined copies.
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
      -DCMAKE_PREFIX_PATH="$QT_MINGW" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
      -DTRACKMILL_WERROR=ON >/dev/null
cmake --build "$BUILD" -j"$jobs"

# The DLLs the programs load, and the two programs beside them under the designed name
# of the encoder and today's name of the decoder.
gcc_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
runtime=("$QT_MINGW"/bin/Qt6Core.dll "$QT_MINGW"/bin/Qt6Gui.dll "$QT_MINGW"/bin/Qt6Widgets.dll
         "$gcc_dlls"/libstdc++-6.dll "$gcc_dlls"/libgcc_s_seh-1.dll /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll)
mkdir -p "$BIN/platforms" "$BIN/styles"
cp -u "${runtime[@]}" "$BIN"/
cp -u "$QT_MINGW/plugins/platforms/qwindows.dll" "$BIN/platforms/"
cp -u "$QT_MINGW/plugins/styles/qwindowsvistastyle.dll" "$BIN/styles/"
cp -u "$WIN_TOOLS/lame.exe" "$BIN/Lame.exe"
cp -u "$WIN_TOOLS/mpcdec.exe" "$BIN/mpcdec.exe"

export WINEPREFIX WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINE BIN

# A skipped test hides what it was meant to show, and a run without tests shows nothing.
run_tests() {
  local log status=0
  log=$(mktemp)
  "$WINE" "$@" > "$log" 2>&1 || status=$?
  grep -E '^\[  (FAILED|SKIPPED|PASSED) ' "$log" || true
  if [ "$status" -ne 0 ] || grep -q '^\[  SKIPPED \]' "$log" || ! grep -Eq '^\[  PASSED  \] [1-9]' "$log"; then
    cat "$log"
    echo "FAILED: $(basename "$1") (a failed or skipped test, or none ran)" >&2
    exit 1
  fi
  rm -f "$log"
}

echo "== tests under Wine"
# Left out here, each covered on Linux: what needs a Linux program (mutagen, /bin/sh, the
# shared corpus), paths written the POSIX way, and a folder link (Windows gives those to
# administrators only).
run_tests "$BIN/windows_tests.exe"
run_tests "$BIN/formats_tests.exe" --gtest_filter='-*Corpus*:ID3v2Read.HandMadeTagsAsMutagenReadsThem'
run_tests "$BIN/engine_tests.exe" --gtest_filter='-BuildCommand.ShellReceivesNastyPathsUnchanged:OutputPlan.FoldersCollisionsAndTheExistingFilesPolicy:Library.AnotherSourcesMp3IsNeverReplacedOrSkippedFor'

echo "== trackmill-cli.exe on real files, against the Linux build"
if [ ! -x build/src/cli/trackmill-cli ]; then
  cmake -S . -B build -G Ninja -DTRACKMILL_WERROR=ON >/dev/null
  cmake --build build -j"$jobs" --target trackmill-cli
fi
tests/windows/convert-under-wine.sh "$ROOT/build/src/cli/trackmill-cli"

echo "== Trackmill.exe under Wine with a window manager"
export WINE BIN WINEPREFIX
# A Wine session started without a display (the tests above) never shows a window on a
# display given later: each display gets a session of its own.
new_wine_session() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
new_wine_session
tests/support/with-window-manager.sh "$WINE" "$BIN/window_tests.exe" > "$BUILD/window_tests.log" 2>&1 \
  || { cat "$BUILD/window_tests.log"; echo "FAILED: window_tests.exe" >&2; exit 1; }
grep -E '^\[  (FAILED|PASSED) ' "$BUILD/window_tests.log"
grep -q '^\[  SKIPPED \]' "$BUILD/window_tests.log" && { echo "FAILED: a window test was skipped" >&2; exit 1; }
new_wine_session
SCREENSHOT="$BUILD/windows-wine.png" tests/support/with-window-manager.sh tests/windows/window-under-wine.sh
new_wine_session

echo "== dist/: the zip and the installer"
version=$(sed -n 's/^project(Trackmill VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=$BUILD/stage/Trackmill-$version-win64
rm -rf "$BUILD/stage" && mkdir -p "$stage/platforms" "$stage/styles" dist
cp "$BIN/Trackmill.exe" "$BIN/trackmill-cli.exe" "$BIN/trackmill-pipe.exe" "${runtime[@]}" "$stage"/
cp "$BIN/platforms/qwindows.dll" "$stage/platforms/"
cp "$BIN/styles/qwindowsvistastyle.dll" "$stage/styles/"
sed 's/$/\r/' packaging/windows/README.txt > "$stage/README.txt"
rm -f "dist/Trackmill-$version-win64.zip"
(cd "$BUILD/stage" && zip -qr "$ROOT/dist/Trackmill-$version-win64.zip" "Trackmill-$version-win64")
# The uninstaller removes exactly the files the installer put there.
(cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g; s|^|  Delete "$INSTDIR\\|; s|$|"|'
 echo '  RMDir "$INSTDIR\platforms"'; echo '  RMDir "$INSTDIR\styles"') > "$BUILD/stage/files.nsh"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILELIST="$BUILD/stage/files.nsh" \
  -DOUTFILE="$ROOT/dist/Trackmill-$version-win64-setup.exe" packaging/windows/trackmill.nsi
tests/windows/installer-under-wine.sh "$ROOT/dist/Trackmill-$version-win64-setup.exe"
ls -l dist/

echo "== Windows build and tests passed in $(( $(date +%s) - started )) s"
