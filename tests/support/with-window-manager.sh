#!/usr/bin/env bash
# Runs a command on a virtual X display of its own, managed by openbox, so that windows
# get real frames and a window manager that places them.
set -euo pipefail
dir=$(mktemp -d)
xvfb="" wm=""
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
# Xvfb picks a free display itself, so parallel runs never meet. Both waits allow 30 s:
# on a loaded machine (a build beside the suite) openbox has taken over 5 s to start.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 600); do [ -s "$dir/display" ] && break; sleep 0.05; done
[ -s "$dir/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$dir/display")"
# openbox now and then gives up at once when several start together (parallel tests):
# it is started again, up to three times, and what it said is shown when it never comes.
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for _ in 1 2 3; do
  HOME="$dir" openbox --sm-disable >>"$dir/openbox.log" 2>&1 &
  wm=$!
  for _ in $(seq 600); do
    wm_up && break
    kill -0 "$wm" 2>/dev/null || break
    sleep 0.05
  done
  wm_up && break
  kill "$wm" 2>/dev/null || true
  wait "$wm" 2>/dev/null || true
  wm=""
done
wm_up || { cat "$dir/openbox.log" >&2; echo "openbox did not start" >&2; exit 1; }
"$@"
