#!/usr/bin/env bash
# Cross-builds Trackmill for 64-bit Windows with mingw-w64 and tests it under Wine: the
# platform layer, the formats, the engine, the collection and the settings files,
# opusenc.exe encoding a piped WAV, trackmill-cli.exe converting real Musepack files to MP3
# and to Opus with lame.exe, opusenc.exe and mpcdec.exe cross-built from Debian's sources as
# people find them (reading their arguments in the ANSI code page) and stopped by Ctrl-C,
# and Trackmill.exe on a display with a window manager; then makes
# dist/Trackmill-<version>-win64.zip and the installer dist/Trackmill-<version>-win64-setup.exe,
# and tries the installer.
# Everything it needs outside the clone (Qt for mingw, the three programs, a Wine prefix)
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

# The DLLs the programs load, and the programs beside them: the MP3 encoder under its
# designed name, today's name of the decoder, and the Opus encoder.
gcc_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
runtime=("$QT_MINGW"/bin/Qt6Core.dll "$QT_MINGW"/bin/Qt6Gui.dll "$QT_MINGW"/bin/Qt6Widgets.dll
         "$gcc_dlls"/libstdc++-6.dll "$gcc_dlls"/libgcc_s_seh-1.dll /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll)
# Qt's own dialogs in German: the catalogue is the same file for every platform, taken
# from Debian's qt6-translations-l10n (the mingw Qt is built without its translations).
qt_catalogues=(/usr/share/qt6/translations/qtbase_de.qm)
mkdir -p "$BIN/platforms" "$BIN/styles" "$BIN/translations"
cp -u "${runtime[@]}" "$BIN"/
cp -u "${qt_catalogues[@]}" "$BIN/translations/"
cp -u "$QT_MINGW/plugins/platforms/qwindows.dll" "$BIN/platforms/"
cp -u "$QT_MINGW/plugins/styles/qwindowsvistastyle.dll" "$BIN/styles/"
cp -u "$WIN_TOOLS/lame.exe" "$BIN/Lame.exe"
cp -u "$WIN_TOOLS/mpcdec.exe" "$BIN/mpcdec.exe"
cp -u "$WIN_TOOLS/opusenc.exe" "$BIN/opusenc.exe"

export WINEPREFIX WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINE BIN

echo "== opusenc.exe under Wine"
# As a conversion runs it: the decoder's WAV through a pipe (cat: never a file it could
# seek), a working folder named outside ASCII, a plain output name. 44,101 samples at
# 44.1 kHz are 48,002 at Opus's 48 kHz.
opus_fail() { echo "FAILED: opusenc.exe: $*" >&2; exit 1; }
opus_work=$(mktemp -d)
opus_dir="$opus_work/Ωpus 雨 Ä"
mkdir "$opus_dir"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:sample_rate=44100" -af atrim=end_sample=44101 \
  -ac 2 -bitexact "$opus_work/in.wav"  # bitexact: no LIST chunk, as the decoder writes none
(cd "$opus_dir" && cat "$opus_work/in.wav" | "$WINE" "$BIN/opusenc.exe" --quiet --bitrate 96 - out.opus) \
  || opus_fail "it failed"
# Wine starts in its Windows folder when it cannot enter the working folder (a locale that is not UTF-8).
[ -f "$opus_dir/out.opus" ] || opus_fail "no out.opus in the working folder"
opus_info=$(opusinfo "$opus_dir/out.opus" 2>&1) || { echo "$opus_info"; opus_fail "opusinfo refuses its file"; }
if grep -Eqi 'warning|error' <<<"$opus_info"; then echo "$opus_info"; opus_fail "opusinfo warns"; fi
# The last granule less the pre-skip, and what a decoder makes of the whole file.
granule=$(ffprobe -v error -select_streams a:0 -show_entries stream=duration_ts -of csv=p=0 "$opus_dir/out.opus")
pre_skip=$(sed -n 's/^[[:space:]]*Pre-skip: //p' <<<"$opus_info")
decoded=$(( $(ffmpeg -v error -i "$opus_dir/out.opus" -f s16le -ac 1 - | wc -c) / 2 ))
if [ "$((granule - pre_skip))" -ne 48002 ] || [ "$decoded" -ne 48002 ]; then
  opus_fail "its file holds $((granule - pre_skip)) samples and decodes to $decoded, not 48002"
fi
rm -rf "$opus_work"
echo "opusenc.exe under Wine: a piped WAV of 44,101 samples at 44.1 kHz made 48,002 at 48 kHz"

# A skipped test hides what it was meant to show, and a run without tests shows nothing.
# Every executable runs; the first that failed stops the script after the last.
failed=
run_tests() {
  local log status=0
  log=$(mktemp)
  "$WINE" "$@" > "$log" 2>&1 || status=$?
  grep -E '^\[  (FAILED|SKIPPED|PASSED) ' "$log" || true
  if [ "$status" -ne 0 ] || grep -q '^\[  SKIPPED \]' "$log" || ! grep -Eq '^\[  PASSED  \] [1-9]' "$log"; then
    cat "$log"
    echo "FAILED: $(basename "$1") (a failed or skipped test, or none ran)" >&2
    failed=${failed:-$(basename "$1")}
  fi
  rm -f "$log"
}
# --gtest_filter leaving out the cases named (full names), each of which runs on Linux.
except() { local IFS=:; echo "--gtest_filter=-$*"; }

# Under Wine a Windows program cannot start the Linux programs these use.
mpcenc=(  # makes their Musepack files
  APEtagInterop.ReadsEveryFieldThatMpcencWrote APEtagRead.EveryTagSizeReadsWholeAndHidesNoId3v1Tag
  MPEGplusEncoded.AStreamCutShortIsToldAndAWholeOneNever MPEGplusEncoded.AgreesWithMutagen
  MPEGplusEncoded.ProfilesRatesAndChannelsMatchTheFileBytes MPEGplusEncoded.TagsAroundTheStreamAreFilled
  Acceptance.ExtensionAndHeader FileInfo.TagLinesFollowTheTagsInTheFile
  TransferInterop.CopiedId3v2AndConvertedApeAreMerged TransferInterop.EveryApeItemArrivesInId3v23
  TransferInterop.EveryId3v24FrameArrivesInId3v23 TransferInterop.Id3v1TargetStaysWithinItsFormat
  TransferInterop.ReplayGainOfTheHeaderWhenTheTagsHaveNone TransferInterop.TenMegabyteCoverRebuildsTheMp3
  TransferTest.AllSwitchesApeToId3v1 TransferTest.AllSwitchesApeToId3v2 TransferTest.ApeFieldsCutPerTarget
  TransferTest.ApeGenreAndTrackEdgeCases TransferTest.MissingOutputStaysMissing
  TransferTest.NonMusepackSourceOnlyCopiesId3v2 TransferTest.SwitchesOffLeaveTheirKindOut
  TranscodeList.RealMusepackFilesFromTheEncoder)
mutagen=(  # python3-mutagen reads or writes the tags to compare with
  APEtagInterop.ReadsMutagenTagsWithHeaderAndAnyKeyCase
  ID3v1Interop.MutagenReadsOurTagsLatin1IncludedAndOthersAsQuestionMarks
  ID3v2Layouts.ReadAsMutagenReadsThem ID3v2Read.HandMadeTagsAsMutagenReadsThem
  MPEGplusFixedHeader.Version7SampleRateFromItsHeaderAsMutagenReadsIt)
other_tools=(  # id3v2, eyeD3 and mutagen, ffprobe, /bin/sh
  ID3v1Genres.NamesAgreeWithId3v2ToolWhereTheListsShareSpelling ID3v1Interop.ReadsTagsWrittenByTheId3v2Tool
  ID3v2Interop.Eyed3TagsInEveryVersionAndEncoding ID3v2Interop.Id3v2ToolTag
  ID3v2Interop.MutagenTagsWithEveryFieldAndEncoding ID3v2Interop.OurTagReadByMutagenAndEyed3
  ID3v2Interop.RewritingAnEyed3TagKeepsTheMp3Playable
  Mp3Duration.AgreesWithFfprobeForCbrVbrMpeg2AndTaggedFiles
  BuildCommand.ShellReceivesNastyPathsUnchanged)
opus_tools=(  # opusenc makes their Opus files; opusinfo, ffprobe and mutagen read them, ffmpeg makes images
  OggOpusRead.HeadAndSampleCountOfOpusencFiles OggOpusWrite.CommentsAndPicturesReadBackByOthersAudioUntouched
  OggOpusWrite.CommentsOfEverySizeAroundPageAndSegmentEdges OggOpusWrite.FailuresLeaveTheFileAsItWasAndSayWhy
  OggOpusPicture.ValuesCarryTheFactsOfTheirImages)
# The job's stand-in decoder and encoder are /bin/sh scripts, run by /bin/sh.
sh_job=(JobTest.AFileQueuedAfterThePlanWaitsForTheNextJob JobTest.ANoticeComesBeforeTheShutdownAndCanCancelIt
  JobTest.AScriptOutOfProcessesIsTriedAgainAndAnMp3OfAnotherRunWins
  JobTest.ASystemOutOfProcessesSlowsTheJobAndFailsNoFile JobTest.AbortStopsTheCommandsAndLeavesNoMp3
  JobTest.CancelLetsTheRunningFilesFinishAndKeepsTheRest JobTest.EventsAndCountsForOneAndForThreeAtOnce
  JobTest.ShutdownAtTheEndAndARefusedOne
  JobTest.StartupReportsEachMissingProgramEncoderFirstAndAnEmptyListChangesNothing
  JobTest.TheWindowsPauseAndTheSettingsOfEachStep)
# The shared corpus lies outside the project; the Windows build is not given it.
corpus=(APEtagRobustness.CorpusFilesAndTheirCutsLoadQuietly ID3v1Robustness.CorpusFilesAndTheirTruncationsLoadQuietly
  ID3v2Robustness.EveryCorpusFileLoads MPEGplusCorpus.EveryFileAndEveryPrefixLoadsWithoutHarm
  MPEGplusCorpus.KnownHeaders MPEGplusCorpus.Version7FramesOfARealStream)
# What Windows has not, case by case.
windows_lacks=(
  # a symbolic link (administrators only)
  ID3v2Write.RebuildNeverTouchesTheUsersFilesBesideIt Library.AnotherSourcesMp3IsNeverReplacedOrSkippedFor
  TreeScanner.LinkLoopsEndAndEachFolderIsEnteredOnce ProfileFile.ReplacesTheFileKeepingModeAndSymbolicLinks
  # POSIX permission bits, for an ordinary user: a child forked as "nobody", links too
  ID3v1Write.ReadOnlyFileIsRefusedAndLeftAsItIs ID3v2Write.ReadOnlyFileIsRefusedAndLinksAreWrittenThrough
  TreeScanner.FolderWithoutReadPermissionIsSkippedSilently
  # a folder without write permission (the read-only attribute does not bind a folder)
  ProfileFile.RefusedWritesRaiseUnableToWriteAndChangeNothing
  # a file-size limit (setrlimit) standing in for a full disk
  ID3v1Write.FailedAppendLeavesTheFileAsItWas ID3v2Write.FailedRebuildLeavesTheFileUntouched
  # named pipes, /dev, sockets and links, and a private file's mode bits
  FolderArt.OnlyARegularImageFileOfTheFirstNameIsTaken
  FolderArt.AnImageThereIsNeverReplacedAndAPrivateOneStaysPrivate
  TranscodeList.WhatIsNoFileIsNeverOpenedAndNamedWithTheReason
  # two names equal but for letter case, and a named pipe
  TreeScanner.NamesEqualIgnoringCaseAreBothKeptAndPipesAreSkipped
  # names holding '"' or a line break (and a folder link)
  TreeScanner.OddNamesAreReportedExactly TranscodeList.OddNamesAndLinkLoopsInDroppedFolders
  # a library folder written the POSIX way: "/music" is read on the current drive
  StoredSettings.EverySettingComesBackFromTheFile StoredSettings.ValuesFollowTheWindowsRulesAndBadOnesAreIgnored)
left_out=$(except "${mpcenc[@]}" "${mutagen[@]}" "${other_tools[@]}" "${opus_tools[@]}" "${sh_job[@]}" "${corpus[@]}" "${windows_lacks[@]}")

echo "== tests under Wine"
run_tests "$BIN/windows_tests.exe"
for t in formats engine collect config; do
  run_tests "$BIN/${t}_tests.exe" "$left_out"
done
[ -z "$failed" ] || { echo "FAILED: $failed and perhaps more (above)" >&2; exit 1; }

echo "== trackmill-cli.exe on real files, against the Linux build"
# Built (or brought up to date) here: a Linux build older than this tree compares nothing.
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DTRACKMILL_WERROR=ON >/dev/null
cmake --build build -j"$jobs" --target trackmill-cli
tests/windows/convert-under-wine.sh "$ROOT/build/src/cli/trackmill-cli"
# Ctrl-C as Wine delivers it (a SIGINT to the program), bounded should the program hang.
timeout 300 tests/windows/interrupt-under-wine.sh

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
rm -rf "$BUILD/stage" && mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations" dist
cp "$BIN/Trackmill.exe" "$BIN/trackmill-cli.exe" "$BIN/trackmill-pipe.exe" "${runtime[@]}" "$stage"/
cp "$BIN/platforms/qwindows.dll" "$stage/platforms/"
cp "$BIN/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp "${qt_catalogues[@]}" "$stage/translations/"
sed 's/$/\r/' packaging/windows/README.txt > "$stage/README.txt"
rm -f "dist/Trackmill-$version-win64.zip"
(cd "$BUILD/stage" && zip -qr "$ROOT/dist/Trackmill-$version-win64.zip" "Trackmill-$version-win64")
# The uninstaller removes exactly the files the installer put there.
(cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g; s|^|  Delete "$INSTDIR\\|; s|$|"|'
 echo '  RMDir "$INSTDIR\platforms"'; echo '  RMDir "$INSTDIR\styles"'; echo '  RMDir "$INSTDIR\translations"') > "$BUILD/stage/files.nsh"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILELIST="$BUILD/stage/files.nsh" \
  -DOUTFILE="$ROOT/dist/Trackmill-$version-win64-setup.exe" packaging/windows/trackmill.nsi
tests/windows/installer-under-wine.sh "$ROOT/dist/Trackmill-$version-win64-setup.exe"
ls -l dist/

echo "== Windows build and tests passed in $(( $(date +%s) - started )) s"
