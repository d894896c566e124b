#!/usr/bin/env bash
# One window a user and display: the real `trackmill` started again hands its files to the
# window that is there and ends, also after a run that was killed left its socket behind.
# Runs on a display of its own (tests/support/with-window-manager.sh).
# Usage: second-start.sh TRACKMILL
set -uo pipefail
program=$1
dir=$(mktemp -d)
first=""
cleanup() {
  [ -n "$first" ] && kill -KILL "$first" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Waits up to 60 s for a condition: these are events, not delays.
until_true() { for _ in $(seq 1200); do "$@" && return 0; sleep 0.05; done; return 1; }
windows() { xdotool search --onlyvisible --name '^Trackmill v' 2>/dev/null; }
one_window() { [ "$(windows | wc -l)" -eq 1 ]; }

# The program beside its own settings, its runtime folder and two sources of its own.
mkdir -m 700 "$dir/run"
cp "$program" "$dir/trackmill"
export XDG_RUNTIME_DIR="$dir/run" HOME="$dir"
python3 -c '
import math, struct, sys, wave
for name in sys.argv[1:]:
    with wave.open(name, "wb") as w:
        w.setnchannels(2); w.setsampwidth(2); w.setframerate(44100)
        w.writeframes(b"".join(struct.pack("<hh", v, v) for v in
            (int(8000 * math.sin(i / 20)) for i in range(22050))))
' "$dir/a.wav" "$dir/b.wav"
for s in a b; do mpcenc --silent "$dir/$s.wav" "$dir/$s.mpc" || { echo "mpcenc failed"; exit 1; }; done
cd "$dir"

"$dir/trackmill" a.mpc >"$dir/first.log" 2>&1 &
first=$!
until_true one_window || { cat "$dir/first.log"; echo "FAIL: no window came"; exit 1; }
window=$(windows)
# The socket is in a folder only this user may enter.
[ "$(stat -c %a "$dir/run/trackmill-window-$(id -u)")" = 700 ] || fail "the socket's folder is open to others"

# Named relative to its own working folder, which the window does not share.
mkdir "$dir/elsewhere"
(cd "$dir/elsewhere" && timeout 60 "$dir/trackmill" ../b.mpc) || fail "the second start ended with status $?"
one_window || fail "$(windows | wc -l) windows after the second start"

# Without files it only brings the window back.
xdotool windowminimize --sync "$window"
timeout 60 "$dir/trackmill" || fail "the start without files ended with status $?"
until_true one_window || fail "the window did not come back"
active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ]; }
until_true active || fail "the window did not come to the front"

# Both files are in its one list: Transcode converts both.
xdotool windowactivate --sync "$window" key --clearmodifiers alt+t
until_true test -s "$dir/a.mp3" -a -s "$dir/b.mp3" || fail "not both converted: $(ls "$dir")"

# Killed, it leaves its socket; the next start opens a window all the same, which a
# start after it reaches.
kill -KILL "$first"
wait "$first" 2>/dev/null
first=""
until_true test -z "$(windows)" || fail "the killed window stayed"
"$dir/trackmill" >"$dir/third.log" 2>&1 &
first=$!
until_true one_window || fail "no window after a killed one: $(cat "$dir/third.log")"
timeout 60 "$dir/trackmill" a.mpc || fail "the start after a killed run ended with status $?"
one_window || fail "$(windows | wc -l) windows after a killed run"
xdotool windowactivate --sync "$(windows)" key --clearmodifiers alt+F4
wait "$first" || fail "the window closed with status $?"
first=""

[ $failures -eq 0 ] && echo "second start: all checks passed"
exit $((failures > 0))
