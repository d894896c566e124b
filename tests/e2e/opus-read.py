# What the players and taggers people use read from an Opus file: beets' reader
# (mediafile), ffprobe (ffmpeg, and with it MPD's view) and opusinfo, one JSON object.
import json, logging, subprocess, sys
logging.disable(logging.CRITICAL)
import mediafile

path = sys.argv[1]
m = mediafile.MediaFile(path)
beets = {k: getattr(m, k) for k in (
    "title", "artist", "album", "albumartist", "track", "tracktotal", "disc", "disctotal", "year",
    "genre", "composer", "comments", "lyrics", "artist_sort", "albumartist_sort", "mb_trackid",
    "mb_albumid", "mb_artistid", "mb_albumartistid", "comp", "r128_track_gain", "r128_album_gain")}
beets["images"] = [[int(i.type.value), i.desc, i.mime_type, len(i.data)] for i in (m.images or [])]

probe = json.loads(subprocess.run(["ffprobe", "-v", "error", "-of", "json", "-show_entries",
                                   "stream_tags:stream=duration_ts,codec_name", path],
                                  capture_output=True, text=True, check=True).stdout)
streams = probe.get("streams", [])
info = subprocess.run(["opusinfo", path], capture_output=True, text=True)
print(json.dumps({"mediafile": beets, "ffprobe": streams[0].get("tags", {}) if streams else {},
                  "pictures": sum(1 for s in streams if s.get("codec_name") in ("mjpeg", "png")),
                  "opusinfo": {"status": info.returncode,
                               "complaints": [l for l in (info.stdout + info.stderr).splitlines()
                                              if "WARNING" in l or "ERROR" in l]}},
                 ensure_ascii=False))
