#include "engine/TagTransferMap.h"

#include "formats/APEtag.h"
#include "formats/ID3v1.h"
#include "formats/ID3v2Names.h"
#include "formats/MPEGplus.h"
#include "formats/TextUtil.h"

#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace trackmill {

namespace {

constexpr std::string_view kReplayGainKeys[] = {"REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK",
                                                "REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK"};

// The picture types of ID3v2, by the names APE cover items carry in parentheses.
constexpr std::string_view kPictureTypes[] = {
    "Other",  "Png Icon", "Icon",     "Front",         "Back",      "Leaflet",      "Media",
    "Lead Artist", "Artist", "Conductor", "Band",       "Composer",  "Lyricist",     "Recording Location",
    "During Recording", "During Performance", "Video Capture", "Fish", "Illustration",
    "Band Logotype", "Publisher Logotype"};

constexpr std::string_view kCoverPrefix = "Cover Art (";

std::uint8_t PictureType(std::string_view key)
{
    std::string_view name = key.substr(kCoverPrefix.size());
    if (!name.empty() && name.back() == ')') name.remove_suffix(1);
    for (std::size_t i = 0; i < std::size(kPictureTypes); ++i)
        if (EqualsAsciiNoCase(name, kPictureTypes[i])) return static_cast<std::uint8_t>(i);
    return 0;
}

bool StartsWith(const ByteVector &b, std::string_view magic)
{
    return b.size() >= magic.size() && std::memcmp(b.data(), magic.data(), magic.size()) == 0;
}

std::string PictureMime(const ByteVector &bytes, std::string_view fileName)
{
    if (StartsWith(bytes, "\xFF\xD8\xFF")) return "image/jpeg";
    if (StartsWith(bytes, "\x89PNG")) return "image/png";
    if (StartsWith(bytes, "GIF8")) return "image/gif";
    if (StartsWith(bytes, "BM")) return "image/bmp";
    if (bytes.size() >= 12 && StartsWith(bytes, "RIFF") && std::memcmp(&bytes[8], "WEBP", 4) == 0)
        return "image/webp";
    const std::size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos) {
        const std::string_view ext = fileName.substr(dot + 1);
        if (EqualsAsciiNoCase(ext, "jpg") || EqualsAsciiNoCase(ext, "jpeg")) return "image/jpeg";
        if (EqualsAsciiNoCase(ext, "png")) return "image/png";
    }
    return "image/";
}

// A binary APE value: a file name ended by a 0 byte, then the data.
void SplitBinary(const std::string &value, std::string &fileName, ByteVector &data)
{
    const std::size_t zero = value.find('\0');
    const std::size_t start = zero == std::string::npos ? 0 : zero + 1;
    if (zero != std::string::npos) fileName = value.substr(0, zero);
    data.assign(value.begin() + static_cast<std::ptrdiff_t>(start), value.end());
}

TID3v2Frame FrameOfBinary(const TAPEitem &item)
{
    if (auto picture = ApeCoverPicture(item)) return id3v2::MakePicture(*picture);
    std::string fileName;
    ByteVector data;
    SplitBinary(item.value, fileName, data);
    // GEOB: encoding | MIME type | file name | description | data.
    TID3v2Frame f{"GEOB", {id3v2::EncodingFor({fileName, item.key})}, 0};
    id3v2::AppendString(f.data, id3v2::kLatin1, "application/octet-stream", true);
    id3v2::AppendString(f.data, f.data[0], fileName, true);
    id3v2::AppendString(f.data, f.data[0], item.key, true);
    f.data.insert(f.data.end(), data.begin(), data.end());
    return f;
}

// What makes two frames the same field; "" for frames that never replace each other.
std::string FieldKey(const TID3v2Frame &f)
{
    if (f.IsText()) return (f.id == "TDAT" || f.id == "TIME") ? "TYER" : f.id;
    if (f.id == "TXXX" || f.id == "COMM" || f.id == "USLT") {
        const auto d = id3v2::ReadDescribed(f);
        if (!d) return {};
        return f.id + '\0' + d->language + '\0' + (f.id == "TXXX" ? UpperAscii(d->description) : d->description);
    }
    if (const auto u = id3v2::ReadUniqueId(f)) return f.id + '\0' + u->owner;
    return {};
}

// The pictures a tag holds, so that another one is added only when it is new, under a
// description of its own (2.3 allows one picture per description).
class PictureSet {
public:
    explicit PictureSet(const std::vector<TID3v2Frame> &frames)
    {
        for (std::size_t i = 0; i < frames.size(); ++i)
            if (frames[i].id == "APIC") Note(frames[i], i);
    }

    void Add(std::vector<TID3v2Frame> &frames, TID3v2Frame picture)
    {
        auto p = id3v2::ReadPicture(picture);
        if (!p) return;
        const auto range = hashes_.equal_range(Hash(picture));
        for (auto it = range.first; it != range.second; ++it)
            if (frames[it->second].data == picture.data) return;
        const std::string stem =
            p->description.empty() ? std::string(kPictureTypes[p->type % std::size(kPictureTypes)]) : p->description;
        // "", then "Front", "Front (2)", ...
        std::string description = p->description;
        for (int n = 1; descriptions_.count(description); ++n)
            description = n == 1 && p->description.empty() ? stem : stem + " (" + std::to_string(n) + ")";
        if (description != p->description) {
            p->description = description;
            picture = id3v2::MakePicture(*p);
        }
        frames.push_back(std::move(picture));
        Note(frames.back(), frames.size() - 1);
    }

private:
    static std::size_t Hash(const TID3v2Frame &f)
    {
        return std::hash<std::string_view>()(
            std::string_view(reinterpret_cast<const char *>(f.data.data()), f.data.size()));
    }
    void Note(const TID3v2Frame &f, std::size_t index)
    {
        if (const auto p = id3v2::ReadPicture(f)) descriptions_.insert(p->description);
        hashes_.emplace(Hash(f), index);
    }

    std::unordered_set<std::string> descriptions_;
    std::unordered_multimap<std::size_t, std::size_t> hashes_;
};

std::string Formatted(const char *format, double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

// An APE text where the table puts its key; nothing where the frame cannot hold it (a
// recording identifier over 64 bytes), which then goes to TXXX under its key.
std::optional<TID3v2Frame> FrameAt(const id3v2::TFieldPlace &place, const std::string &text)
{
    if (place.frame == "COMM" || place.frame == "USLT") return id3v2::MakeComment(place.frame, "eng", "", text);
    if (place.frame == "TXXX") return id3v2::MakeUserText(place.description, text);
    if (place.frame == "UFID") return id3v2::MakeUniqueId(place.description, text);
    // A bare genre number reads as a number in many players: the list's name does not.
    if (place.frame == "TCON")
        if (const auto number = GenreNumberOf(text); number && *number < kGenreCount && text[0] != '(')
            return id3v2::MakeText(place.frame, GenreUsualName(*number));
    return id3v2::MakeText(place.frame, text);
}

}  // namespace

std::optional<id3v2::TPicture> ApeCoverPicture(const TAPEitem &item)
{
    if (!item.IsBinary() || !StartsWithAsciiNoCase(item.key, kCoverPrefix)) return std::nullopt;
    std::string fileName;
    ByteVector data;
    SplitBinary(item.value, fileName, data);
    id3v2::TPicture picture;
    picture.mime = PictureMime(data, fileName);
    picture.type = PictureType(item.key);
    picture.description = fileName;  // what the tagger that stored it called it
    picture.bytes = std::move(data);
    return picture;
}

std::vector<TID3v2Frame> FramesFromApe(const TAPEtag &ape)
{
    std::vector<TID3v2Frame> out;
    for (const TAPEitem &item : ape.Items()) {
        if (item.IsBinary()) {
            if (!item.value.empty()) out.push_back(FrameOfBinary(item));
            continue;
        }
        const std::string text = item.Text();
        if (text.empty()) continue;
        if (EqualsAsciiNoCase(item.key, "Year")) {
            id3v2::AppendDateFrames(text, item.key, out);
            continue;
        }
        bool placed = false;
        for (const id3v2::TFieldPlace &place : id3v2::PlacesOfApeKey(item.key)) {
            if (std::optional<TID3v2Frame> frame = FrameAt(place, text)) {
                out.push_back(std::move(*frame));
                placed = true;
            }
        }
        if (placed) continue;
        std::string_view description = item.key;
        for (std::string_view rg : kReplayGainKeys)
            if (EqualsAsciiNoCase(item.key, rg)) description = rg;
        out.push_back(id3v2::MakeUserText(description, text));
    }
    return out;
}

void MergeFrames(std::vector<TID3v2Frame> &base, std::vector<TID3v2Frame> incoming)
{
    std::vector<TID3v2Frame> pictures, unkeyed;
    std::unordered_map<std::string, std::vector<TID3v2Frame>> byField;
    std::vector<std::string> fieldOrder;
    for (TID3v2Frame &f : incoming) {
        if (f.id == "APIC") {
            pictures.push_back(std::move(f));
            continue;
        }
        std::string key = FieldKey(f);
        if (key.empty()) {
            unkeyed.push_back(std::move(f));
            continue;
        }
        auto &frames = byField[key];
        if (frames.empty()) fieldOrder.push_back(key);
        frames.push_back(std::move(f));
    }

    std::vector<TID3v2Frame> out;
    std::unordered_set<std::string> placed;
    auto place = [&](const std::string &key) {
        if (!placed.insert(key).second) return;
        for (TID3v2Frame &f : byField[key]) out.push_back(std::move(f));
    };
    for (TID3v2Frame &f : base) {
        const std::string key = FieldKey(f);
        if (!key.empty() && byField.count(key)) place(key);
        else out.push_back(std::move(f));
    }
    for (const std::string &key : fieldOrder) place(key);
    for (TID3v2Frame &f : unkeyed) out.push_back(std::move(f));

    PictureSet known(out);
    for (TID3v2Frame &p : pictures) known.Add(out, std::move(p));
    base = std::move(out);
}

bool HasReplayGain(const std::vector<TID3v2Frame> &frames)
{
    for (const TID3v2Frame &f : frames) {
        if (f.id != "TXXX") continue;
        const auto d = id3v2::ReadDescribed(f);
        if (d && StartsWithAsciiNoCase(d->description, "REPLAYGAIN_")) return true;
    }
    return false;
}

std::vector<TID3v2Frame> ReplayGainFrames(const TReplayGain &gain)
{
    std::vector<TID3v2Frame> out;
    const std::optional<double> values[] = {gain.trackGain, gain.trackPeak, gain.albumGain, gain.albumPeak};
    for (std::size_t i = 0; i < 4; ++i) {
        if (!values[i]) continue;
        const bool isGain = i % 2 == 0;
        out.push_back(id3v2::MakeUserText(kReplayGainKeys[i], Formatted(isGain ? "%.2f dB" : "%.6f", *values[i])));
    }
    return out;
}

}  // namespace trackmill
