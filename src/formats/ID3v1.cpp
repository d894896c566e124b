#include "formats/ID3v1.h"

#include "formats/TextCodec.h"
#include "formats/TextUtil.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace trackmill {

namespace {

constexpr std::array<std::string_view, kGenreCount> kGenres = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop",
    "Jazz", "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap",
    "Reggae", "Rock", "Techno", "Industrial", "Alternative", "Ska", "Death Metal", "Pranks",
    "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion",
    "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel",
    "Noise", "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop",
    "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic",
    "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40",
    "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave",
    "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk",
    "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock",
    "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic",
    "Bluegrass", "Avantgarde", "Gothic Rock", "Progessive Rock", "Psychedelic Rock",
    "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic",
    "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony",
    "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba",
    "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock",
    "Drum Solo", "A capella", "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House",
    "Hardcore", "Terror", "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat",
    "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover",
    "Contemporary Christian", "Christian Rock", "Merengue", "Salsa", "Trash Metal", "Anime",
    "JPop", "Synthpop"};

// What players and taggers call entries the list spells otherwise; the first two are
// the list's misspellings, and their usual spelling is what gets written.
constexpr std::pair<std::string_view, unsigned> kUsualSpellings[] = {
    {"Psychedelic", 67},      {"Progressive Rock", 92}, {"Alternative Rock", 40}, {"Alt. Rock", 40},
    {"Bebop", 85},            {"A Cappella", 123},      {"Thrash Metal", 144},    {"J-Pop", 146},
    {"Synth-Pop", 147},       {"Dancehall", 125},       {"Hip Hop", 7},           {"Rock 'n' Roll", 78},
    {"Rock and Roll", 78},    {"Drum and Bass", 127},   {"Hardcore Techno", 129}, {"Euro-Techno", 25},
};
constexpr std::size_t kCorrectedSpellings = 2;

constexpr std::size_t kTitleAt = 3, kArtistAt = 33, kAlbumAt = 63, kYearAt = 93,
                      kCommentAt = 97, kZeroAt = 125, kTrackAt = 126, kGenreAt = 127;
constexpr std::size_t kTextWidth = 30, kYearWidth = 4, kShortCommentWidth = 28;

using Image = std::array<std::uint8_t, TID3v1::kTagSize>;

std::string FieldText(const Image &tag, std::size_t at, std::size_t width)
{
    return Latin1ToUtf8(TrimBlanksRight({reinterpret_cast<const char *>(tag.data()) + at, width}));
}

void PutText(Image &tag, std::size_t at, std::size_t width, const std::string &utf8)
{
    const std::string latin1 = Utf8ToLatin1(utf8);
    std::memcpy(tag.data() + at, latin1.data(), std::min(width, latin1.size()));
}

// The 128 bytes of an ID3v1 tag, and the 3 before them where an APE header's "APETAGEX"
// would begin for its "TAG" to stand where an ID3v1 tag's does.
constexpr std::size_t kTailSize = TID3v1::kTagSize + 3;

// The file's last bytes, read once: `n` of them (fewer than kTailSize in a short file);
// false when the file holds fewer than 128 or cannot be read.
bool ReadTail(TStream &file, std::array<std::uint8_t, kTailSize> &tail, std::size_t &n, std::int64_t &size)
{
    size = file.Size();
    if (size < static_cast<std::int64_t>(TID3v1::kTagSize)) return false;
    const std::int64_t from = std::max<std::int64_t>(0, size - static_cast<std::int64_t>(kTailSize));
    n = static_cast<std::size_t>(size - from);
    return file.ReadAt(from, tail.data(), n);
}

// Whether those last bytes end in an ID3v1 tag: "TAG" 128 bytes from the end that is no
// part of an APE tag (its footer in the last 32 bytes, or its header's "APETAGEX").
bool TailIsId3v1(const std::array<std::uint8_t, kTailSize> &tail, std::size_t n)
{
    constexpr std::size_t kApeMark = 8;  // "APETAGEX"
    constexpr std::size_t kApeFooter = 32;
    if (std::memcmp(tail.data() + n - TID3v1::kTagSize, "TAG", 3) != 0) return false;
    if (std::memcmp(tail.data() + n - kApeFooter, "APETAGEX", kApeMark) == 0) return false;
    return !(n == kTailSize && std::memcmp(tail.data(), "APETAGEX", kApeMark) == 0);
}

// The last 128 bytes and the file size; false when the file has fewer. `isTag` says
// whether they are an ID3v1 tag.
bool ReadLast128(TStream &file, Image &tag, std::int64_t &size, bool &isTag)
{
    std::array<std::uint8_t, kTailSize> tail{};
    std::size_t n = 0;
    if (!ReadTail(file, tail, n, size)) return false;
    std::memcpy(tag.data(), tail.data() + n - TID3v1::kTagSize, TID3v1::kTagSize);
    isTag = TailIsId3v1(tail, n);
    return true;
}

}  // namespace

bool EndsWithID3v1(TStream &file)
{
    std::array<std::uint8_t, kTailSize> tail{};
    std::size_t n = 0;
    std::int64_t size = 0;
    return ReadTail(file, tail, n, size) && TailIsId3v1(tail, n);
}

std::string_view GenreName(unsigned index)
{
    return index < kGenreCount ? kGenres[index] : std::string_view{};
}

std::string_view GenreUsualName(unsigned index)
{
    for (std::size_t i = 0; i < kCorrectedSpellings; ++i)
        if (kUsualSpellings[i].second == index) return kUsualSpellings[i].first;
    return GenreName(index);
}

std::optional<unsigned> GenreIndexOfName(std::string_view name)
{
    for (unsigned i = 0; i < kGenreCount; ++i)
        if (EqualsAsciiNoCase(kGenres[i], name)) return i;
    for (const auto &[spelling, index] : kUsualSpellings)
        if (EqualsAsciiNoCase(spelling, name)) return index;
    return std::nullopt;
}

std::optional<unsigned> GenreNumberOf(std::string_view text)
{
    const bool bracketed = !text.empty() && text[0] == '(';
    std::size_t at = bracketed ? 1 : 0;
    unsigned value = 0;
    const std::size_t first = at;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && at - first < 3; ++at)
        value = value * 10 + unsigned(text[at] - '0');
    if (at == first) return std::nullopt;
    if (bracketed ? (at >= text.size() || text[at] != ')') : at != text.size()) return std::nullopt;
    return value;
}

void TID3v1::Clear()
{
    present_ = false;
    tagVersion_ = 1;
    title_.clear();
    artist_.clear();
    album_.clear();
    year_.clear();
    comment_.clear();
    track_ = 0;
    genreIndex_ = kNoGenre;
}

bool TID3v1::LoadFromFile(const std::string &fileName)
{
    Clear();
    TFileStream file;
    return file.Open(fileName) && LoadFromStream(file);
}

bool TID3v1::LoadFromStream(TStream &file)
{
    Clear();
    Image tag{};
    std::int64_t size = 0;
    bool isTag = false;
    if (!ReadLast128(file, tag, size, isTag)) return false;
    if (!isTag) return true;

    present_ = true;
    const bool v11 = (tag[kZeroAt] == 0 && tag[kTrackAt] != 0) ||
                     (tag[kZeroAt] == 0x20 && tag[kTrackAt] != 0x20);
    tagVersion_ = v11 ? 2 : 1;
    title_ = FieldText(tag, kTitleAt, kTextWidth);
    artist_ = FieldText(tag, kArtistAt, kTextWidth);
    album_ = FieldText(tag, kAlbumAt, kTextWidth);
    year_ = FieldText(tag, kYearAt, kYearWidth);
    comment_ = FieldText(tag, kCommentAt, v11 ? kShortCommentWidth : kTextWidth);
    if (v11) track_ = tag[kTrackAt];
    genreIndex_ = tag[kGenreAt];
    return true;
}

bool TID3v1::StripFromFile(const std::string &fileName) const
{
    TFileStream file;
    return file.Open(fileName, TFileStream::Mode::ReadWrite) && StripFromStream(file);
}

bool TID3v1::StripFromStream(TStream &file) const
{
    Image tag{};
    std::int64_t size = 0;
    bool isTag = false;
    if (!ReadLast128(file, tag, size, isTag)) return false;
    if (!isTag) return true;
    return file.Truncate(size - static_cast<std::int64_t>(kTagSize));
}

bool TID3v1::WriteToFile(const std::string &fileName, std::string *error) const
{
    TFileStream file;
    // Opened for writing only when we may write it: its permissions are never changed.
    if (!file.Open(fileName, TFileStream::Mode::ReadWrite)) {
        if (error) *error = file.OpenError();
        return false;
    }
    return WriteToStream(file, error);
}

bool TID3v1::WriteToStream(TStream &file, std::string *error) const
{
    auto fail = [&](const std::string &why) {
        if (error) *error = why;
        return false;
    };
    Image tag{};
    std::memcpy(tag.data(), "TAG", 3);
    PutText(tag, kTitleAt, kTextWidth, title_);
    PutText(tag, kArtistAt, kTextWidth, artist_);
    PutText(tag, kAlbumAt, kTextWidth, album_);
    PutText(tag, kYearAt, kYearWidth, year_);
    PutText(tag, kCommentAt, kTextWidth, comment_);
    if (track_ != 0) {
        tag[kZeroAt] = 0;
        tag[kTrackAt] = track_;
    }
    tag[kGenreAt] = genreIndex_;

    Image old{};
    std::int64_t size = 0;
    bool isTag = false;
    if (!ReadLast128(file, old, size, isTag)) return fail("the file cannot be read or is shorter than 128 bytes");

    // An old tag is overwritten where it stands rather than cut off and appended again:
    // the same bytes in the end, but a failed write can no longer leave the file untagged.
    const std::int64_t at = isTag ? size - static_cast<std::int64_t>(kTagSize) : size;
    if (file.WriteAt(at, tag.data(), tag.size())) return true;
    const std::string why = file.ErrorText();
    if (at == size) file.Truncate(size);  // drop a partly appended tag
    return fail(why);
}

void TID3v1::SetTitle(std::string_view text) { title_ = FirstChars(TrimBlanksRight(text), kTextWidth); }
void TID3v1::SetArtist(std::string_view text) { artist_ = FirstChars(TrimBlanksRight(text), kTextWidth); }
void TID3v1::SetAlbum(std::string_view text) { album_ = FirstChars(TrimBlanksRight(text), kTextWidth); }
void TID3v1::SetYear(std::string_view text) { year_ = FirstChars(TrimBlanksRight(text), kYearWidth); }
void TID3v1::SetComment(std::string_view text) { comment_ = FirstChars(TrimBlanksRight(text), kTextWidth); }

}  // namespace trackmill
