#!/usr/bin/env bash
# trackmill-cli.exe under Wine on Musepack files made by Debian's mpcenc, with names that
# hold blanks, "&", "%", "^" and letters outside any ANSI code page: every MP3 lasts as
# long as its source, carries the tags mutagen expects, and reads exactly as the same job
# on Linux does (trackmill-cli info --json of both); a second run replaces nothing.
# Usage: convert-under-wine.sh LINUX-TRACKMILL-CLI   (WINE, BIN and WINEPREFIX set)
set -euo pipefail
linux_cli=$1
: "${WINE:?}" "${BIN:?}" "${WINEPREFIX:?}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
# The private folders the programs make (trackmill- and six hex digits) in the prefix's Temp.
private_folders() { ls "$WINEPREFIX"/drive_c/users/*/Temp/ 2>/dev/null | grep -E '^trackmill-[0-9a-f]{6}$' || true; }
folders_before=$(private_folders)

album="$work/in/Ä & B %PATH% ^x"
mkdir -p "$album"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=2" -ac 2 -ar 44100 "$work/tone.wav"
names=("01 日本 & %TEMP%.mpc" "02 ^caret^^.mpc" "03 two  blanks.mpc")
titles=("Ünïcode 日本" "Caret ^ & %x%" "Plain")
for i in 0 1 2; do
  mpcenc --silent --artist "Ärtist Ω" --album "Album & Co" --track "$((i + 1))" --title "${titles[$i]}" \
    "$work/tone.wav" "$album/${names[$i]}" 2>/dev/null
done

win_path() { printf 'Z:%s' "${1//\//\\}"; }
"$WINE" "$BIN/trackmill-cli.exe" convert --output-dir "$(win_path "$work/out-win")" "$(win_path "$work/in")" \
  > "$work/win.log" 2>&1 || { cat "$work/win.log"; fail "trackmill-cli.exe convert"; }
grep -q "Converted 3 of 3 files" "$work/win.log" || { cat "$work/win.log"; fail "not every file was converted"; }
"$linux_cli" convert --output-dir "$work/out-linux" "$work/in" > "$work/linux.log" 2>&1 \
  || { cat "$work/linux.log"; fail "trackmill-cli convert on Linux"; }

for i in 0 1 2; do
  mp3="${names[$i]%.mpc}.mp3"
  win="$work/out-win/in/Ä & B %PATH% ^x/$mp3"
  lin="$work/out-linux/in/Ä & B %PATH% ^x/$mp3"
  [ -f "$win" ] || fail "no MP3 at $win"
  seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$win")
  awk -v s="$seconds" 'BEGIN { exit !(s > 1.8 && s < 2.2) }' || fail "$mp3 lasts $seconds s, the source 2 s"
  /usr/bin/python3 - "$win" "${titles[$i]}" "$((i + 1))" <<'PY' || fail "tags of $mp3"
import sys, mutagen.id3
tags = mutagen.id3.ID3(sys.argv[1])
assert str(tags["TIT2"]) == sys.argv[2], tags["TIT2"]
assert str(tags["TPE1"]) == "Ärtist Ω", tags["TPE1"]
assert str(tags["TALB"]) == "Album & Co", tags["TALB"]
assert str(tags["TRCK"]).split("/")[0] == sys.argv[3], tags["TRCK"]
PY
  # The same job on both systems gives the same tags and the same stream.
  diff <("$linux_cli" info --json "$lin" | sed 's/"path":"[^"]*",//') \
       <("$linux_cli" info --json "$win" | sed 's/"path":"[^"]*",//') || fail "$mp3 differs from the Linux MP3"
done

# Nothing of ours is left behind, and a second run replaces nothing.
[ -z "$(find "$work/out-win" -name '.tm-*')" ] || fail "a temporary MP3 was left behind"
before=$(find "$work/out-win" -type f -printf '%p %s %T@\n' | sort)
"$WINE" "$BIN/trackmill-cli.exe" convert --output-dir "$(win_path "$work/out-win")" "$(win_path "$work/in")" \
  > "$work/again.log" 2>&1 || { cat "$work/again.log"; fail "the second run"; }
grep -q "3 skipped" "$work/again.log" || { cat "$work/again.log"; fail "the second run did not skip the three"; }
[ "$before" = "$(find "$work/out-win" -type f -printf '%p %s %T@\n' | sort)" ] || fail "the second run changed an MP3"
[ "$(private_folders)" = "$folders_before" ] || fail "a private folder was left behind"
echo "trackmill-cli.exe under Wine: 3 files converted as on Linux, none replaced on the second run"
