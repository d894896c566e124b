#include "formats/ID3v2.h"

#include "formats/ByteUtil.h"
#include "formats/ID3v1.h"
#include "formats/ID3v2Read.h"
#include "formats/TextCodec.h"
#include "formats/TextUtil.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace trackmill {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kHeaderSize = 10;
constexpr std::int64_t kRebuiltTagSize = 4096;
constexpr std::size_t kCopyChunk = 64 * 1024;

struct Header {
    std::array<std::uint8_t, kHeaderSize> bytes{};
    std::int64_t fileSize = 0;

    bool HasId3() const { return bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3'; }
};

// False when fewer than 10 bytes could be read.
bool ReadHeader(TStream &file, Header &header)
{
    header.fileSize = file.Size();
    return header.fileSize >= 0 && file.ReadAt(0, header.bytes.data(), kHeaderSize);
}

// The size bytes are taken whole, top bits included; 0 when the tag would pass the file's end.
std::int64_t TagSizeOf(const Header &h)
{
    std::int64_t size = static_cast<std::int64_t>(WholeSizeBytes32(&h.bytes[6])) + 10;
    if (h.bytes[5] & 0x10) size += 10;
    return size > h.fileSize ? 0 : size;
}

// The first frame of that name, or nullptr.
const TID3v2Frame *FindFrame(const std::vector<TID3v2Frame> &frames, std::string_view id)
{
    for (const TID3v2Frame &f : frames)
        if (f.id == id) return &f;
    return nullptr;
}

std::string TextOf(const std::vector<TID3v2Frame> &frames, std::string_view id)
{
    const TID3v2Frame *f = FindFrame(frames, id);
    return f ? std::string(TrimBlanks(id3v2::Text(*f))) : std::string();
}

bool IsNumber(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A genre reference of the ID3v1 list: a number, or RX and CR of version 2.3.
bool IsGenreReference(std::string_view ref) { return IsNumber(ref) || ref == "RX" || ref == "CR"; }

std::string_view GenreOfReference(std::string_view ref)
{
    if (ref == "RX") return "Remix";
    if (ref == "CR") return "Cover";
    if (ref.size() > 3) return {};
    unsigned n = 0;
    for (char c : ref) n = n * 10 + unsigned(c - '0');
    return n < kGenreCount ? GenreName(n) : std::string_view();
}

// "(17)Rock" and "Rock" give Rock; "(17)" and a plain "17" give the list's name, Rock;
// "(17)(13)" gives Rock/Pop; a number outside the list gives only the name after it;
// "((" begins a name that itself begins with "(".
std::string GenreOf(std::string_view text)
{
    if (IsNumber(text)) return std::string(GenreOfReference(text));
    std::string named;
    while (text.size() > 1 && text[0] == '(' && text[1] != '(') {
        const std::size_t close = text.find(')');
        if (close == std::string_view::npos || !IsGenreReference(text.substr(1, close - 1))) break;
        const std::string_view name = GenreOfReference(text.substr(1, close - 1));
        if (!name.empty()) named += (named.empty() ? "" : "/") + std::string(name);
        text.remove_prefix(close + 1);
    }
    if (text.starts_with("((")) text.remove_prefix(1);
    return text.empty() ? named : std::string(text);
}

// The comment field: the last COMM without a description, else the last COMM.
std::string CommentOf(const std::vector<TID3v2Frame> &frames)
{
    std::string any, plain;
    bool havePlain = false;
    for (const TID3v2Frame &f : frames) {
        if (f.id != "COMM") continue;
        const auto d = id3v2::ReadDescribed(f);
        if (!d) continue;
        any = d->text;
        if (d->description.empty()) plain = d->text, havePlain = true;
    }
    return std::string(TrimBlanks(havePlain ? plain : any));
}

// Frames built by the setters go where the fields' frames are written in a fresh tag.
constexpr std::array<std::string_view, 12> kFieldOrder = {"TIT2", "TPE1", "TALB", "TRCK", "TYER", "TCON",
                                                          "COMM", "TCOM", "TENC", "TCOP", "TLAN", "WXXX"};

std::size_t RankOf(std::string_view id)
{
    for (std::size_t i = 0; i < kFieldOrder.size(); ++i)
        if (kFieldOrder[i] == id) return i;
    return kFieldOrder.size();
}

// Removes the frames `matches` picks and puts `replacement` (when it has an id) where
// the first of them stood, or else before the first frame of a later field.
template <typename Match>
void ReplaceFrames(std::vector<TID3v2Frame> &frames, Match matches, TID3v2Frame replacement)
{
    std::size_t at = frames.size();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (matches(frames[i])) {
            at = std::min(at, kept);
            continue;
        }
        if (kept != i) frames[kept] = std::move(frames[i]);
        ++kept;
    }
    frames.resize(kept);
    if (replacement.id.empty()) return;
    if (at == frames.size()) {
        const std::size_t rank = RankOf(replacement.id);
        at = 0;
        while (at < frames.size() && RankOf(frames[at].id) <= rank) ++at;
    }
    frames.insert(frames.begin() + static_cast<std::ptrdiff_t>(at), std::move(replacement));
}

// Writes the new tag and the old content's bytes from `from` on as the stream's new
// content, in one step (a file is whole at every moment).
bool Rebuild(TStream &file, const Bytes &image, std::int64_t from, std::string &error)
{
    const bool ok = file.Rewrite([&](TStream &out) {
        if (!out.WriteAt(0, image.data(), image.size())) return false;
        std::vector<std::uint8_t> chunk(kCopyChunk);
        std::int64_t at = static_cast<std::int64_t>(image.size());
        for (std::int64_t pos = from;;) {
            const std::size_t n = file.ReadSomeAt(pos, chunk.data(), chunk.size());
            if (n == 0) return pos >= file.Size();
            if (!out.WriteAt(at, chunk.data(), n)) return false;
            pos += static_cast<std::int64_t>(n);
            at += static_cast<std::int64_t>(n);
        }
    });
    if (!ok) error = file.ErrorText();
    return ok;
}

}  // namespace

TID3v2::TID3v2() = default;

void TID3v2::Clear()
{
    present_ = false;
    tagVersion_ = 0;
    tagSize_ = 0;
    frames_.clear();
    omitted_.clear();
    FillProperties();
}

void TID3v2::FillProperties()
{
    auto choose = [&](std::string_view first, std::string_view second) {
        std::string v = TextOf(frames_, first);
        return v.empty() ? TextOf(frames_, second) : v;
    };
    title_ = choose("TIT2", "TIT1");
    artist_ = choose("TPE1", "TOPE");
    album_ = choose("TALB", "TOAL");

    const std::string track = TextOf(frames_, "TRCK");
    const auto number = ParseInteger(std::string_view(track).substr(0, track.find('/')));
    track_ = number ? static_cast<std::uint16_t>(*number) : 0;

    year_ = TextOf(frames_, "TYER");
    if (year_.empty()) year_ = FirstChars(TextOf(frames_, "TORY"), 4);

    genre_ = GenreOf(TextOf(frames_, "TCON"));

    comment_ = CommentOf(frames_);
    url_.clear();
    for (const TID3v2Frame &f : frames_)
        if (f.id == "WXXX")
            if (const auto d = id3v2::ReadDescribed(f)) url_ = std::string(TrimBlanks(d->text));
    composer_ = TextOf(frames_, "TCOM");
    encoder_ = TextOf(frames_, "TENC");
    copyright_ = TextOf(frames_, "TCOP");
    language_ = TextOf(frames_, "TLAN");
}

bool TID3v2::LoadHeaderFromFile(const std::string &fileName)
{
    Clear();
    TFileStream file;
    return file.Open(fileName) && LoadHeaderFromStream(file);
}

bool TID3v2::LoadHeaderFromStream(TStream &stream)
{
    Clear();
    Header header;
    if (!ReadHeader(stream, header)) return false;
    if (!header.HasId3()) return true;
    present_ = true;
    tagVersion_ = header.bytes[3];
    tagSize_ = static_cast<std::int32_t>(TagSizeOf(header));
    return true;
}

bool TID3v2::LoadFromFile(const std::string &fileName)
{
    Clear();
    TFileStream file;
    return file.Open(fileName) && LoadFromStream(file);
}

bool TID3v2::LoadFromStream(TStream &stream, TTagRead what)
{
    if (!LoadHeaderFromStream(stream)) return false;
    if (!present_ || tagVersion_ < 2 || tagVersion_ > 4 || tagSize_ == 0) return true;
    const auto size = static_cast<std::size_t>(std::min<std::int64_t>(tagSize_, kMaxTagRead));
    const Bytes tag = what == TTagRead::Texts ? id3v2::TextFramesOf(stream, size) : stream.ReadVectorAt(0, size);
    frames_ = id3v2::ReadFrames(tag.data(), tag.size(), &omitted_);
    if (tagSize_ > kMaxTagRead)
        omitted_.push_back("the ID3v2 tag of " + SizeText(static_cast<std::uint64_t>(tagSize_)) + " exceeds the " +
                           SizeText(kMaxTagRead) + " limit; the frames past it were not carried");
    FillProperties();
    return true;
}

void TID3v2::SetFrames(std::vector<TID3v2Frame> frames)
{
    frames_ = std::move(frames);
    FillProperties();
}

void TID3v2::SetTextFrame(std::string_view id, const std::string &value)
{
    ReplaceFrames(frames_, [&](const TID3v2Frame &f) { return f.id == id; },
                  value.empty() ? TID3v2Frame{} : id3v2::MakeText(id, value));
    FillProperties();
}

bool TID3v2::WriteToFile(const std::string &fileName, std::string *error) const
{
    TFileStream file;
    return OpenForWriting(file, fileName, error) && WriteToStream(file, error);
}

bool TID3v2::WriteToStream(TStream &file, std::string *error) const
{
    std::string why;
    auto fail = [&](const std::string &reason) {
        if (error) *error = reason;
        return false;
    };
    Header header;
    const bool headerRead = ReadHeader(file, header);
    const bool hasTag = headerRead && header.HasId3();
    const std::int64_t existing = hasTag ? TagSizeOf(header) : 0;

    // A frame without a proper name or content cannot be written into a readable tag.
    auto writable = [](const TID3v2Frame &f) { return f.id.size() == 4 && !f.data.empty(); };
    std::int64_t needed = kHeaderSize;
    for (const TID3v2Frame &f : frames_)
        if (writable(f)) needed += 10 + static_cast<std::int64_t>(f.data.size());

    const bool rebuild = !hasTag || existing < needed || existing > kRebuiltTagSize;
    // A tag too large for the usual 4096 bytes is written at its own size, without padding.
    const std::int64_t total = rebuild ? std::max(kRebuiltTagSize, needed) : existing;
    const std::int64_t sizeField = total - 10;
    if (sizeField >= (std::int64_t{1} << 28)) return fail("the tag is too large for ID3v2");

    Bytes image;
    image.reserve(static_cast<std::size_t>(total));
    image.insert(image.end(), {'I', 'D', '3', 3, 0, 0});
    PutSynchsafe32(image, static_cast<std::uint32_t>(sizeField));
    for (const TID3v2Frame &f : frames_) {
        if (!writable(f)) continue;
        image.insert(image.end(), f.id.begin(), f.id.end());
        PutBe32(image, static_cast<std::uint32_t>(f.data.size()));
        image.insert(image.end(), {static_cast<std::uint8_t>(f.flags >> 8), static_cast<std::uint8_t>(f.flags)});
        image.insert(image.end(), f.data.begin(), f.data.end());
    }
    image.resize(static_cast<std::size_t>(total), 0);

    if (!rebuild) {
        if (file.WriteAt(0, image.data(), image.size())) return true;
        return fail(file.ErrorText());
    }
    if (!headerRead) return fail("the file is shorter than a tag header");
    return Rebuild(file, image, hasTag ? existing : 0, why) || fail(why);
}

void TID3v2::SetTitle(const std::string &v) { SetTextFrame("TIT2", std::string(TrimBlanks(v))); }
void TID3v2::SetArtist(const std::string &v) { SetTextFrame("TPE1", std::string(TrimBlanks(v))); }
void TID3v2::SetAlbum(const std::string &v) { SetTextFrame("TALB", std::string(TrimBlanks(v))); }
void TID3v2::SetTrack(std::uint16_t v) { SetTextFrame("TRCK", v ? std::to_string(v) : std::string()); }
void TID3v2::SetYear(const std::string &v) { SetTextFrame("TYER", std::string(TrimBlanks(v))); }
void TID3v2::SetGenre(const std::string &v) { SetTextFrame("TCON", std::string(TrimBlanks(v))); }

void TID3v2::SetComment(const std::string &v)
{
    const std::string text(TrimBlanks(v));
    ReplaceFrames(
        frames_,
        [](const TID3v2Frame &f) {
            if (f.id != "COMM") return false;
            const auto d = id3v2::ReadDescribed(f);
            return d && d->description.empty();
        },
        text.empty() ? TID3v2Frame{} : id3v2::MakeComment("COMM", "eng", "", text));
    FillProperties();
}

}  // namespace trackmill
