#!/usr/bin/env bash
# Makes a demo folder of Musepack files: synthesised tones encoded with mpcenc and
# tagged with APEv2 through mpcenc's own tag options; when the tag helper is built,
# some files also get ID3v1/ID3v2 tags written by Trackmill's own writers.
# Usage: make-demo.sh DEMO_DIR [BUILD_DIR]
set -euo pipefail
demo=${1:?demo folder}
build=${2:-}
mkdir -p "$demo/in"
python3 - "$demo/in" <<'PY'
import math, struct, sys, wave
out = sys.argv[1]
for i, freq in enumerate((220.0, 330.0, 440.0, 554.37, 660.0)):
    with wave.open(f"{out}/tone{i + 1}.wav", "wb") as w:
        w.setnchannels(2); w.setsampwidth(2); w.setframerate(44100)
        frames = bytearray()
        for n in range(int(44100 * 2.0)):
            s = int(0.3 * 32767 * math.sin(2 * math.pi * freq * n / 44100))
            frames += struct.pack("<hh", s, s)
        w.writeframes(bytes(frames))
PY
# mpcenc reads tag texts in the locale's character set; a bare machine runs in the C locale.
enc() { LC_ALL=C.UTF-8 mpcenc --silent --overwrite "$@" >/dev/null 2>&1; }
enc --standard --title "Morning Tone" --artist "Trackmill Demo" --album "Sample Tones" \
    --year 2026 --track 1/5 --genre Ambient --comment "made by make-demo.sh" \
    "$demo/in/tone1.wav" "$demo/01 Morning Tone.mpc"
enc --thumb --title "Café Crème" --artist "Zoë Ångström" --album "Sample Tones" \
    --year 2026 --track 2/5 --genre Jazz "$demo/in/tone2.wav" "$demo/02 Café Crème.mpc"
enc --radio --title "Не ASCII ✓" --artist "東京" --track 3 --genre Electronic \
    "$demo/in/tone3.wav" "$demo/03 Unicode.mpc"
mkdir -p "$demo/More tones"
enc --extreme --title "Deeper" --artist "Trackmill Demo" --track 4 \
    "$demo/in/tone4.wav" "$demo/More tones/04 Deeper.mpc"
enc --insane "$demo/in/tone5.wav" "$demo/More tones/05 Untagged.mp+"
rm -rf "$demo/in"
tagger="$build/tools/trackmill-demo-tags"
if [ -n "$build" ] && [ -x "$tagger" ]; then
  "$tagger" "$demo/More tones/05 Untagged.mp+" "$demo/More tones/04 Deeper.mpc"
fi
echo "Demo folder: $demo"
