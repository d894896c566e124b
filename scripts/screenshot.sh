#!/usr/bin/env bash
# Starts the Trackmill window on a virtual X display and saves a screenshot of it.
# Usage: scripts/screenshot.sh [BUILD_DIR] [OUTPUT_PNG]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=$(realpath -m "${2:-$root/docs/screenshot.png}")
bin=$build/src/main/trackmill
[ -x "$bin" ] || { echo "no $bin: build first" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The regular DejaVu Sans only, as on a default desktop without the designed face.
font=$(fc-match -f '%{file}' 'DejaVu Sans:style=Book')
mkdir -p "$work/fonts"
ln -s "$font" "$work/fonts/"
cat >"$work/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$work/fonts</dir><cachedir>$work/fontcache</cachedir></fontconfig>
EOF

# A free display number, a screen larger than the window.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 "${TRACKMILL_SCREENSHOT_SCREEN:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# Fresh settings, and demo files when a demo folder exists, so the picture is repeatable.
mkdir -p "$work/config"
cd "${TRACKMILL_SCREENSHOT_DIR:-$work}"
DISPLAY=":$display" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb FONTCONFIG_FILE="$work/fonts.conf" \
  "$bin" >/dev/null 2>&1 &
app_pid=$!
# Wait until the window is mapped (first starts build font caches), then let it paint.
caption="Trackmill v1.2 (MPC -> MP3 transcoder)"
for _ in $(seq 100); do
  if command -v xwininfo >/dev/null; then
    DISPLAY=":$display" xwininfo -name "$caption" >/dev/null 2>&1 && break
  fi
  kill -0 "$app_pid" 2>/dev/null || { echo "trackmill ended early" >&2; exit 1; }
  sleep 0.2
done
sleep "${TRACKMILL_SCREENSHOT_DELAY:-2}"
mkdir -p "$(dirname "$out")"
id=$(DISPLAY=":$display" xwininfo -name "$caption" | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p')
DISPLAY=":$display" import -window "$id" "$out"
echo "Screenshot: $out"
