# What the players and taggers people use read from an MP3: beets' reader (mediafile),
# eyeD3 and ffprobe, one JSON object of their views.
import json, logging, subprocess, sys
logging.disable(logging.CRITICAL)
import eyed3, mediafile

path = sys.argv[1]
m = mediafile.MediaFile(path)
beets = {k: getattr(m, k) for k in (
    "title", "artist", "album", "albumartist", "track", "tracktotal", "disc", "disctotal", "year",
    "genre", "composer", "comments", "lyrics", "artist_sort", "albumartist_sort", "mb_trackid",
    "mb_albumid", "mb_artistid", "mb_albumartistid", "comp", "rg_track_gain", "rg_track_peak")}
beets["images"] = [[int(i.type.value), i.desc] for i in (m.images or [])]

tag = eyed3.load(path).tag
eye = {}
if tag is not None:
    date = tag.getBestDate()
    eye = {"title": tag.title, "artist": tag.artist, "album": tag.album, "album_artist": tag.album_artist,
           "track": list(tag.track_num), "disc": list(tag.disc_num), "date": str(date) if date else None,
           "genre": tag.genre.name if tag.genre else None,
           "images": [[i.picture_type, i.description] for i in tag.images]}

probe = json.loads(subprocess.run(["ffprobe", "-v", "error", "-of", "json", "-show_entries", "format_tags", path],
                                  capture_output=True, text=True, check=True).stdout)
print(json.dumps({"mediafile": beets, "eyed3": eye, "ffprobe": probe.get("format", {}).get("tags", {})},
                 ensure_ascii=False))
