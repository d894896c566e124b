#!/usr/bin/env bash
# Runs the Trackmill window on a virtual X display through a job and saves what it shows:
# idle with the demo files listed, during the job, and after it with one damaged file.
# Usage: scripts/screenshot.sh [BUILD_DIR] [OUTPUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=$(realpath -m "${2:-$root/docs}")
bin=$build/tools/trackmill-screenshots
[ -x "$bin" ] || { echo "no $bin: build first" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The regular DejaVu Sans only, as on a default desktop without the designed face.
font=$(fc-match -f '%{file}' 'DejaVu Sans:style=Book')
mkdir -p "$work/fonts"
ln -s "$font" "$work/fonts/"
cat >"$work/fonts.conf" <<EOF2
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$work/fonts</dir><cachedir>$work/fontcache</cachedir></fontconfig>
EOF2

# The demo files, one of them cut short so that the decoder gives up on it.
"$root/scripts/make-demo.sh" "$work/demo" "$build" >/dev/null
damaged="$work/demo/06 Cut short.mpc"
src="$work/demo/01 Morning Tone.mpc"
head -c $(( $(stat -c %s "$src") * 6 / 10 )) "$src" >"$damaged"

# An encoder at about real time, so that the job is caught with files in progress.
mkdir -p "$work/bin"
lame=$(command -v lame)
cat >"$work/bin/lame" <<EOF2
#!/bin/sh
/usr/bin/python3 -c 'import sys,time
while True:
 b=sys.stdin.buffer.read(17640)
 if not b: break
 sys.stdout.buffer.write(b); sys.stdout.flush(); time.sleep(0.1)' | "$lame" "\$@"
EOF2
chmod +x "$work/bin/lame"

# A free display number, a screen larger than the window.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 "${TRACKMILL_SCREENSHOT_SCREEN:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

mkdir -p "$work/config" "$out"
mapfile -d '' files < <(find "$work/demo" -type f -name '*.mp*' -print0 | sort -z)
cd "$work"
DISPLAY=":$display" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb FONTCONFIG_FILE="$work/fonts.conf" \
  PATH="$work/bin:$PATH" "$bin" "$out" "${files[@]}"
