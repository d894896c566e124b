#!/usr/bin/env bash
# Ctrl-C of trackmill-cli.exe convert under Wine, which turns a SIGINT to the program's
# process into the console's CTRL_C_EVENT: the first lets the file in progress finish and
# starts no other, the second stops it. The program ends with status 1, and leaves no MP3,
# no temporary MP3 and no private folder behind; what was there stays as it was.
# Usage: interrupt-under-wine.sh   (WINE, BIN and WINEPREFIX set)
set -euo pipefail
: "${WINE:?}" "${BIN:?}" "${WINEPREFIX:?}"
work=$(mktemp -d)
cli=
trap '[ -z "$cli" ] || kill -KILL "$cli" 2>/dev/null; rm -rf "$work"' EXIT
trap 'exit 1' TERM
fail() { echo "FAILED: $*" >&2; cat "$work/events" "$work/errors" >&2 2>/dev/null || true; exit 1; }
private_folders() { ls "$WINEPREFIX"/drive_c/users/*/Temp/ 2>/dev/null | grep -E '^trackmill-[0-9a-f]{6}$' || true; }
# Waits for a line of the file to match, as long as the program runs.
wait_for() {
  until grep -q -- "$2" "$1"; do
    kill -0 "$cli" 2>/dev/null || fail "trackmill-cli.exe ended before: $2"
    sleep 0.1
  done
}
# The files with their sizes, times and modes, and the folders (the output folder's time
# changes with a folder made in it and removed again).
snapshot() { find "$work/in" "$work/out" \( -type d -printf '%p/\n' \) -o -printf '%p %s %T@ %m\n' | sort; }
folders_before=$(private_folders)

# Ten minutes of sound: lame is still at work when the interruptions come. The second file
# never starts.
mkdir -p "$work/in" "$work/out"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=600" -ac 2 -ar 44100 "$work/long.wav"
mpcenc --silent "$work/long.wav" "$work/in/1 long.mpc" 2>/dev/null
rm "$work/long.wav"
cp "$work/in/1 long.mpc" "$work/in/2 long.mpc"
echo "the user's own" > "$work/out/notes.txt"
before=$(snapshot)

win_path() { printf 'Z:%s' "${1//\//\\}"; }
: > "$work/events"; : > "$work/errors"
"$WINE" "$BIN/trackmill-cli.exe" convert --json -j 1 --output-dir "$(win_path "$work/out")" "$(win_path "$work/in")" \
  > "$work/events" 2> "$work/errors" &
cli=$!
wait_for "$work/events" '"event":"output".*Encoding as'
kill -INT "$cli"
wait_for "$work/errors" 'cancel requested'
kill -INT "$cli"
status=0
wait "$cli" || status=$?
cli=

[ "$status" -eq 1 ] || fail "exit status $status, not 1 (cancelled)"
grep -q '"event":"finished","file":1.*"state":"cancelled"' "$work/events" || fail "the file in progress was not stopped"
grep -q '"event":"started","file":2' "$work/events" && fail "the second file started after Ctrl-C"
grep -q '"event":"ended".*"cancelRequested":true' "$work/events" || fail "no ended event with the cancel"
[ "$(snapshot)" = "$before" ] || fail "files were left or changed: $(find "$work/out")"
[ "$(private_folders)" = "$folders_before" ] || fail "a private folder was left behind"
echo "trackmill-cli.exe under Wine: two Ctrl-C stopped the conversion, nothing left behind"
