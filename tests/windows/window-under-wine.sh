#!/usr/bin/env bash
# Trackmill.exe under Wine with a window manager: it opens with the files named on its
# command line, transcodes them when Transcode is pressed (its access key, as a person
# would), and on closing writes its settings beside itself as Trackmill.ini. With
# SCREENSHOT=FILE it saves the window with the files listed.
# Usage: window-under-wine.sh   (WINE, BIN and WINEPREFIX set; run by with-window-manager.sh)
set -euo pipefail
: "${WINE:?}" "${BIN:?}" "${WINEPREFIX:?}" "${DISPLAY:?}"
work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
# The private folders the programs make (trackmill- and six hex digits) in the prefix's Temp.
private_folders() { ls "$WINEPREFIX"/drive_c/users/*/Temp/ 2>/dev/null | grep -E '^trackmill-[0-9a-f]{6}$' || true; }
folders_before=$(private_folders)
win_path() { printf 'Z:%s' "${1//\//\\}"; }

# A copy of the programs, so that the settings written beside them are this run's.
cp -r "$BIN" "$work/app"
rm -f "$work/app/Trackmill.ini"
album="$work/in/Ä & B %PATH% ^x"
mkdir -p "$album"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=2" -ac 2 -ar 44100 "$work/tone.wav"
names=("01 日本 & %TEMP%.mpc" "02 ^caret.mpc")
for i in 0 1; do
  mpcenc --silent --artist "Ärtist Ω" --track "$((i + 1))" --title "Title $i ^&" "$work/tone.wav" "$album/${names[$i]}" 2>/dev/null
done

"$WINE" "$work/app/Trackmill.exe" "$(win_path "$album/${names[0]}")" "$(win_path "$album/${names[1]}")" \
  > "$work/app.log" 2>&1 &
pid=$!
window=""
for _ in $(seq 180); do
  window=$(xdotool search --onlyvisible --name '^Trackmill v' 2>/dev/null | head -n1) || true
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || { cat "$work/app.log"; fail "the window did not open"; }
sleep 2
if [ -n "${SCREENSHOT:-}" ]; then
  import -window root -crop "$(xwininfo -id "$window" -frame | awk '/Width:/ {w=$2} /Height:/ {h=$2} /Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} END {printf "%dx%d+%d+%d", w+2, h+26, x-1, y-25}')" "$SCREENSHOT"
fi

xdotool windowactivate --sync "$window" key --clearmodifiers alt+t
mp3s=("$album/${names[0]%.mpc}.mp3" "$album/${names[1]%.mpc}.mp3")
for _ in $(seq 180); do
  [ -f "${mp3s[0]}" ] && [ -f "${mp3s[1]}" ] && [ -z "$(find "$album" -name '.tm-*')" ] && break
  sleep 0.5
done
for mp3 in "${mp3s[@]}"; do [ -f "$mp3" ] || fail "no MP3 at $mp3 after Transcode"; done
sleep 1

# Closing the window as a person does: the window manager's close.
xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
for _ in $(seq 60); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
kill -0 "$pid" 2>/dev/null && fail "the window did not close"
pid=""
ini="$work/app/Trackmill.ini"
[ -f "$ini" ] || fail "no Trackmill.ini beside Trackmill.exe"
grep -q '^\[Default\]' "$ini" || fail "Trackmill.ini has no [Default] section"
grep -q '^Edit2_Text=--alt-preset cbr 128' "$ini" || { cat "$ini"; fail "Trackmill.ini lacks the encoder options"; }

[ "$(private_folders)" = "$folders_before" ] || fail "a private folder was left behind"
for i in 0 1; do
  seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "${mp3s[$i]}")
  awk -v s="$seconds" 'BEGIN { exit !(s > 1.8 && s < 2.2) }' || fail "${mp3s[$i]} lasts $seconds s, the source 2 s"
  /usr/bin/python3 -c "
import sys, mutagen.id3
t = mutagen.id3.ID3(sys.argv[1])
assert str(t['TIT2']) == sys.argv[2] and str(t['TPE1']) == 'Ärtist Ω', (t['TIT2'], t['TPE1'])" "${mp3s[$i]}" "Title $i ^&" \
    || fail "tags of ${mp3s[$i]}"
done
echo "Trackmill.exe under Wine: 2 files transcoded from its command line, Trackmill.ini written beside it"
