#!/usr/bin/env bash
# trackmill-cli.exe under Wine on Musepack files made by Debian's mpcenc, with names in
# four scripts outside any ANSI code page (Cyrillic, Greek, Japanese, emoji) in the
# sources, their folders, the output folder and the names made from tags, plus blanks,
# "&", "%" and "^"; one source has an ID3v2 tag in front. The decoder and encoder are
# builds as people find them, reading their arguments in the ANSI code page. Every MP3
# lasts as long as its source, carries the tags mutagen expects, and reads exactly as
# the same job's on Linux (trackmill-cli info --json of both); a second run replaces
# nothing. The same sources to Opus with opusenc.exe, into folders named outside ASCII: the
# same head and comments as Linux's, the same decoded audio, every sample of the source at
# 48 kHz, the tags mutagen expects, and a second run that skips them all. A version 7 file
# of ../shared/corpus/sv7 joins in when there is one.
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

album_rel="in/Мария Иванова/Ä & B %PATH% ^x"
album="$work/$album_rel"
mkdir -p "$album"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=2" -ac 2 -ar 44100 "$work/tone.wav"
names=("01 日本 & %TEMP%.mpc" "02 Ночь ^caret^^.mpc" "03 Νύχτα two  blanks.mpc" "04 😀 rain.mpc")
titles=("Ünïcode 日本" "Ночь ^ & %x%" "Νύχτα" "😀 雨")
for i in 0 1 2 3; do
  mpcenc --silent --artist "Мария Ω 雨 😀" --album "Альбом & Co" --track "$((i + 1))" --title "${titles[$i]}" \
    "$work/tone.wav" "$album/${names[$i]}" 2>/dev/null
done
# An ID3v2 tag in front, as some taggers leave it: the decoder must find the stream behind it.
/usr/bin/python3 - "$album/${names[3]}" <<'PY'
import sys, mutagen.id3
tag = mutagen.id3.ID3()
tag.add(mutagen.id3.TCON(encoding=3, text=["Ambient"]))
tag.save(sys.argv[1])
PY
corpus=$(dirname "$0")/../../../shared/corpus/sv7
sv7=$(ls "$corpus"/*.mpc 2>/dev/null | head -n 1 || true)
[ -n "$sv7" ] && cp "$sv7" "$album/05 Σ version 7.mpc"
count=$(ls "$album" | wc -l)

win_path() { printf 'Z:%s' "${1//\//\\}"; }
# Both systems run the same job; $1 names the output folder, the rest are options.
convert_both() {
  local out=$1; shift
  "$WINE" "$BIN/trackmill-cli.exe" convert "$@" --output-dir "$(win_path "$work/$out-win")" "$(win_path "$work/in")" \
    > "$work/$out-win.log" 2>&1 || { cat "$work/$out-win.log"; fail "trackmill-cli.exe convert $*"; }
  grep -q "Converted $count of $count files" "$work/$out-win.log" || { cat "$work/$out-win.log"; fail "not every file was converted ($*)"; }
  "$linux_cli" convert "$@" --output-dir "$work/$out-linux" "$work/in" > "$work/$out-linux.log" 2>&1 \
    || { cat "$work/$out-linux.log"; fail "trackmill-cli convert on Linux ($*)"; }
  # The same names, the same tags and the same stream.
  diff <(cd "$work/$out-linux" && find . -type f | sort) <(cd "$work/$out-win" && find . -type f | sort) \
    || fail "the files' names differ from Linux ($*)"
  while IFS= read -r -d '' file; do
    diff <("$linux_cli" info --json "$work/$out-linux/$file" | sed 's/"path":"[^"]*",//') \
         <("$linux_cli" info --json "$work/$out-win/$file" | sed 's/"path":"[^"]*",//') || fail "$file differs from Linux's"
    # Both opusenc builds make the same audio of the same samples; the files differ in
    # their random stream serial, so what they decode to is compared.
    if [[ $file == *.opus ]]; then
      linux_md5=$(ffmpeg -nostdin -v error -i "$work/$out-linux/$file" -map 0:a -f md5 -)
      win_md5=$(ffmpeg -nostdin -v error -i "$work/$out-win/$file" -map 0:a -f md5 -)
      [[ $win_md5 == MD5=* && $win_md5 == "$linux_md5" ]] || fail "$file decodes unlike Linux's"
    fi
  done < <(cd "$work/$out-win" && find . -type f -print0)
}

out="out 雨 Ω 😀"
convert_both "$out"
for i in 0 1 2 3; do
  mp3="${names[$i]%.mpc}.mp3"
  win="$work/$out-win/$album_rel/$mp3"
  [ -f "$win" ] || fail "no MP3 at $win"
  seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$win")
  awk -v s="$seconds" 'BEGIN { exit !(s > 1.8 && s < 2.2) }' || fail "$mp3 lasts $seconds s, the source 2 s"
  /usr/bin/python3 - "$win" "${titles[$i]}" "$((i + 1))" <<'PY' || fail "tags of $mp3"
import sys, mutagen.id3
tags = mutagen.id3.ID3(sys.argv[1])
assert str(tags["TIT2"]) == sys.argv[2], tags["TIT2"]
assert str(tags["TPE1"]) == "Мария Ω 雨 😀", tags["TPE1"]
assert str(tags["TALB"]) == "Альбом & Co", tags["TALB"]
assert str(tags["TRCK"]).split("/")[0] == sys.argv[3], tags["TRCK"]
PY
done
# Names made from the tags: folders and files in the four scripts.
convert_both "tags" --layout tags --pattern "%artist%/%album%/%track% %title%"
[ -f "$work/tags-win/Мария Ω 雨 😀/Альбом & Co/04 😀 雨.mp3" ] || fail "no MP3 named from its tags"

opus_out="Ωπus 雨 😀"
convert_both "$opus_out" --format opus
for src in "$album"/*.mpc; do
  name=$(basename "$src" .mpc)
  win="$work/$opus_out-win/$album_rel/$name.opus"
  [ -f "$win" ] || fail "no Opus file at $win"
  # opusenc resamples to 48 kHz: ceil(n x 48,000 / rate) of the source's n samples, the
  # last granule less the pre-skip.
  expected=$("$linux_cli" info --json "$src" | /usr/bin/python3 -c \
    'import json, sys; s = json.load(sys.stdin); print(-(-s["sampleCount"] * 48000 // s["sampleRate"]))')
  info=$(opusinfo "$win" 2>&1) || { echo "$info"; fail "opusinfo refuses $name.opus"; }
  if grep -Eqi 'warning|error' <<<"$info"; then echo "$info"; fail "opusinfo warns of $name.opus"; fi
  granule=$(ffprobe -v error -select_streams a:0 -show_entries stream=duration_ts -of csv=p=0 "$win")
  pre_skip=$(sed -n 's/^[[:space:]]*Pre-skip: //p' <<<"$info")
  [ "$((granule - pre_skip))" -eq "$expected" ] || fail "$name.opus holds $((granule - pre_skip)) samples, not $expected"
done
for i in 0 1 2 3; do
  /usr/bin/python3 - "$work/$opus_out-win/$album_rel/${names[$i]%.mpc}.opus" "${titles[$i]}" "$((i + 1))" <<'PY' \
    || fail "comments of ${names[$i]%.mpc}.opus"
import sys, mutagen.oggopus
tags = mutagen.oggopus.OggOpus(sys.argv[1]).tags
assert tags["title"] == [sys.argv[2]], tags["title"]
assert tags["artist"] == ["Мария Ω 雨 😀"], tags["artist"]
assert tags["album"] == ["Альбом & Co"], tags["album"]
assert tags["tracknumber"][0].split("/")[0] == sys.argv[3], tags["tracknumber"]
PY
done

# Nothing of ours is left behind, and a second run replaces nothing, of either format.
[ -z "$(find "$work/$out-win" "$work/$opus_out-win" -name '.tm-*')" ] || fail "a temporary file was left behind"
again() {
  local folder=$1; shift
  local before
  before=$(find "$work/$folder" -type f -printf '%p %s %T@\n' | sort)
  "$WINE" "$BIN/trackmill-cli.exe" convert "$@" --output-dir "$(win_path "$work/$folder")" "$(win_path "$work/in")" \
    > "$work/again.log" 2>&1 || { cat "$work/again.log"; fail "the second run ($*)"; }
  grep -q "$count skipped" "$work/again.log" || { cat "$work/again.log"; fail "the second run did not skip the $count ($*)"; }
  [ "$before" = "$(find "$work/$folder" -type f -printf '%p %s %T@\n' | sort)" ] || fail "the second run changed a file ($*)"
}
again "$out-win"
again "$opus_out-win" --format opus
[ "$(private_folders)" = "$folders_before" ] || fail "a private folder was left behind"
echo "trackmill-cli.exe under Wine: $count files converted as on Linux, twice (names from the tags too), and to Opus; none replaced on a second run"
