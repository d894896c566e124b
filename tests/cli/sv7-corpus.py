# Checks `trackmill-cli info --json` on every version 7 file of a folder against what
# mpcdec decodes from it (sample rate, channels, samples) and against how its README says
# it was encoded (profile, minor version, tags). Prints one line per difference, then
# "checked N".
import json, os, re, subprocess, sys, tempfile, wave

cli, folder = sys.argv[1], sys.argv[2]
# The old encoder's options and the profile each writes; below quality 5 it used noise
# substitution and wrote stream version 7.1.
profiles = {"--telephone": ("Telephone", 1), "--thumb": ("Thumb", 1), "--radio": ("Radio", 1),
            "--standard": ("Standard", 0), "--extreme": ("Xtreme", 0), "--insane": ("Insane", 0),
            "--braindead": ("Braindead", 0), "--quality 2.5": ("Telephone", 1),
            "--quality 4.25": ("Radio", 1), "--quality 9": ("Quality 9", 0),
            "--quality 10": ("Quality 10", 0)}
how = {}
for line in open(os.path.join(folder, "README.md"), encoding="utf-8"):
    m = re.match(r"\| `([^`]+\.mpc)` \| (\d+) \| (\d+) \| ([^|]*)\|", line)
    if m:
        how[m.group(1)] = (int(m.group(2)), int(m.group(3)), m.group(4).strip())
names = sorted(n for n in os.listdir(folder) if n.endswith(".mpc"))
if sorted(how) != names:
    print("the README lists", sorted(how), "the folder holds", names)
problems = []
with tempfile.TemporaryDirectory() as tmp:
    out = subprocess.run([cli, "info", "--json"] + [os.path.join(folder, n) for n in names],
                         capture_output=True, text=True, check=True).stdout.splitlines()
    for name, line in zip(names, out):
        o = json.loads(line)
        wav = os.path.join(tmp, name + ".wav")
        subprocess.run(["mpcdec", os.path.join(folder, name), wav], capture_output=True, check=True)
        with wave.open(wav) as w:
            rate, channels, samples = w.getframerate(), w.getnchannels(), w.getnframes()
        readme_rate, readme_samples, encoded = how.get(name, (0, 0, ""))
        option = next((k for k in sorted(profiles, key=len, reverse=True) if encoded.startswith(k)), None)
        profile, minor = profiles.get(option, ("?", -1))
        seconds = samples / rate
        want = {"valid": True, "streamVersion": 7, "streamMinorVersion": minor, "profile": profile,
                "sampleRate": rate, "channels": channels, "sampleCount": samples,
                "truncatedAfter": None}
        for key, value in want.items():
            if o.get(key) != value:
                problems.append(f"{name}: {key} is {o.get(key)!r}, not {value!r}")
        if (rate, samples) != (readme_rate, readme_samples):
            problems.append(f"{name}: mpcdec gives {samples} at {rate} Hz, the README {readme_samples} at {readme_rate}")
        if abs(o["duration"] - seconds) > 0.0005:
            problems.append(f"{name}: duration {o['duration']}, mpcdec {seconds:.4f}")
        # The audio's bit rate: the file less its tags over the playing time.
        tags = o["ape"].get("size", 0) + (128 if o["id3v1"]["present"] else 0) + o["id3v2"].get("size", 0)
        kbps = (o["fileSize"] - tags) * 8 / seconds / 1000
        if abs(o["bitrate"] - kbps) > 0.02 * kbps + 1:
            problems.append(f"{name}: bitrate {o['bitrate']}, the audio gives {kbps:.1f}")
        for tag, said in (("ape", "APE tag"), ("id3v1", "ID3v1"), ("id3v2", "ID3v2")):
            if o[tag]["present"] != (said in encoded):
                problems.append(f"{name}: {tag} present is {o[tag]['present']}")
        if (o["replayGain"]["trackGain"] is not None) != ("ReplayGain" in encoded):
            problems.append(f"{name}: replayGain {o['replayGain']}")
for p in problems:
    print(p)
print("checked", len(out))
