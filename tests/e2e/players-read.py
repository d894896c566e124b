# What the players and taggers people use read from an MP3 or an Opus file: beets' reader
# (mediafile), ffprobe (ffmpeg, and with it MPD's view), and eyeD3 for an MP3, opusinfo for
# an Opus file; one JSON object of their views.
import json, logging, subprocess, sys
logging.disable(logging.CRITICAL)
import mediafile

path = sys.argv[1]
opus = path.lower().endswith(".opus")
m = mediafile.MediaFile(path)
beets = {k: getattr(m, k) for k in (
    "title", "artist", "album", "albumartist", "track", "tracktotal", "disc", "disctotal", "year",
    "genre", "composer", "comments", "lyrics", "artist_sort", "albumartist_sort", "mb_trackid",
    "mb_albumid", "mb_artistid", "mb_albumartistid", "comp", "rg_track_gain", "rg_track_peak",
    "r128_track_gain", "r128_album_gain")}
beets["images"] = ([[int(i.type.value), i.desc, i.mime_type, len(i.data)] for i in (m.images or [])] if opus
                   else [[int(i.type.value), i.desc] for i in (m.images or [])])
seen = {"mediafile": beets}

if opus:
    # An Ogg file's tags are its stream's; its pictures are streams of their own.
    probe = json.loads(subprocess.run(["ffprobe", "-v", "error", "-of", "json", "-show_entries",
                                       "stream_tags:stream=codec_name", path],
                                      capture_output=True, text=True, check=True).stdout)
    streams = probe.get("streams", [])
    seen["ffprobe"] = streams[0].get("tags", {}) if streams else {}
    seen["pictures"] = sum(1 for s in streams if s.get("codec_name") in ("mjpeg", "png"))
    info = subprocess.run(["opusinfo", path], capture_output=True, text=True)
    seen["opusinfo"] = {"status": info.returncode,
                        "complaints": [l for l in (info.stdout + info.stderr).splitlines()
                                       if "WARNING" in l or "ERROR" in l]}
else:
    import eyed3
    tag = eyed3.load(path).tag
    eye = {}
    if tag is not None:
        date = tag.getBestDate()
        eye = {"title": tag.title, "artist": tag.artist, "album": tag.album, "album_artist": tag.album_artist,
               "track": list(tag.track_num), "disc": list(tag.disc_num), "date": str(date) if date else None,
               "genre": tag.genre.name if tag.genre else None,
               "images": [[i.picture_type, i.description] for i in tag.images]}
    seen["eyed3"] = eye
    probe = json.loads(subprocess.run(["ffprobe", "-v", "error", "-of", "json", "-show_entries", "format_tags", path],
                                      capture_output=True, text=True, check=True).stdout)
    seen["ffprobe"] = probe.get("format", {}).get("tags", {})
print(json.dumps(seen, ensure_ascii=False))
