// Tags of an MP3 as independent tools see them: the ID3v2 tag through mutagen, the
// ID3v1 tag from the last 128 bytes by a few lines of Python. Also adds ID3 tags to a
// Musepack file the same way, so the sources do not depend on our own writers.
#pragma once

#include "support/TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <string>

namespace tmtest {

inline const char *kReadTagsPy = R"PY(
import json, sys
from mutagen.id3 import ID3, ID3NoHeaderError
path = sys.argv[1]
out = {"v1": None, "v2": None, "size": 0}
with open(path, "rb") as f:
    data = f.read()
out["size"] = len(data)
b = data[-128:]
if len(b) == 128 and b[:3] == b"TAG":
    t = lambda s: s.split(b"\0")[0].decode("latin-1")
    v11 = b[125] == 0 and b[126] != 0
    out["v1"] = {"title": t(b[3:33]), "artist": t(b[33:63]), "album": t(b[63:93]),
                 "year": t(b[93:97]), "comment": t(b[97:125] if v11 else b[97:127]),
                 "track": b[126] if v11 else 0, "genre": b[127], "v11": v11}
try:
    tags = ID3(path, load_v1=False)
    g = lambda k: str(tags[k].text[0]) if k in tags else ""
    comm = [f for f in tags.values() if f.FrameID == "COMM"]
    out["v2"] = {"version": tags.version[1], "title": g("TIT2"), "artist": g("TPE1"),
                 "album": g("TALB"), "year": g("TYER") or g("TDRC"), "track": g("TRCK"),
                 "genre": g("TCON"), "comment": str(comm[0].text[0]) if comm else ""}
except ID3NoHeaderError:
    pass
print(json.dumps(out))
)PY";

// {"v1": {...} | null, "v2": {...} | null, "size": n}
inline QJsonObject ReadTags(const fs::path &file)
{
    const RunResult r = Run({SystemPython(), "-c", kReadTagsPy, tmtest::U8(file)});
    if (r.exitCode != 0) return {{"error", QString::fromStdString(r.err)}};
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
}

inline const char *kAddId3Py = R"PY(
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TCON, TRCK, COMM
path, title, artist, album, genre, track = sys.argv[1:7]
tags = ID3()
tags.add(TIT2(encoding=3, text=title))
tags.add(TPE1(encoding=3, text=artist))
tags.add(TALB(encoding=3, text=album))
tags.add(TCON(encoding=3, text=genre))
tags.add(TRCK(encoding=3, text=track))
tags.add(COMM(encoding=3, lang="eng", desc="", text="v2 comment"))
tags.save(path, v1=0, v2_version=4)
)PY";

// Puts an ID3v2.4 tag (UTF-8 frames) at the start of any file.
inline bool AddId3v2(const fs::path &file, const std::string &title, const std::string &artist,
                     const std::string &album, const std::string &genre, const std::string &track)
{
    return Run({SystemPython(), "-c", kAddId3Py, tmtest::U8(file), title, artist, album, genre, track})
               .exitCode == 0;
}

// Appends a raw ID3v1.1 tag (Latin-1 texts given as ASCII here).
inline void AppendId3v1(const fs::path &file, const std::string &title, const std::string &artist,
                        int track, int genre)
{
    Bytes b = ReadBytes(file);
    Bytes tag(128, 0);
    tag[0] = 'T', tag[1] = 'A', tag[2] = 'G';
    auto put = [&](size_t at, const std::string &s, size_t width) {
        for (size_t i = 0; i < s.size() && i < width; ++i) tag[at + i] = static_cast<std::uint8_t>(s[i]);
    };
    put(3, title, 30);
    put(33, artist, 30);
    put(63, "v1 album", 30);
    put(93, "1999", 4);
    put(97, "v1 comment", 28);
    tag[126] = static_cast<std::uint8_t>(track);
    tag[127] = static_cast<std::uint8_t>(genre);
    b.insert(b.end(), tag.begin(), tag.end());
    WriteBytes(file, b);
}

inline bool HaveMutagen()
{
    return Run({SystemPython(), "-c", "import mutagen"}).exitCode == 0;
}

}  // namespace tmtest
