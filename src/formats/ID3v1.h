// The 128-byte ID3v1 tag at the end of a file (versions 1.0 and 1.1) and the ID3v1
// genre list.
//
// Layout of the tag (texts are Latin-1 in the file, not terminated, padded with 0):
//   0 "TAG" | 3 title[30] | 33 artist[30] | 63 album[30] | 93 year[4]
//   | 97 comment[30]  (1.1: comment[28], 125 = 0, 126 = track) | 127 genre index
// Inside the program every text is UTF-8; the widths count bytes in the file, that is
// characters, and a character that Latin-1 lacks is written as "?".
#pragma once

#include "formats/Stream.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trackmill {

inline constexpr unsigned kGenreCount = 148;
// The name of an ID3v1 genre, or "" for 148 and above (255 means no genre).
std::string_view GenreName(unsigned index);
// The name players and taggers show: the list's, but for the two entries it misspells
// ("Psychadelic", "Progessive Rock").
std::string_view GenreUsualName(unsigned index);
// The index of a genre by the list's name or a usual spelling of it, ignoring letter case.
std::optional<unsigned> GenreIndexOfName(std::string_view name);
// The number of "17", "(17)" or "(17)Rock" (version 2.3's form); nothing for other text.
std::optional<unsigned> GenreNumberOf(std::string_view text);

// Whether a file ends in an ID3v1 tag: its last 128 bytes begin with "TAG" and are not
// part of an APE tag (whose footer fills the last 32 bytes, or whose header's "APETAGEX"
// ends in that "TAG").
bool EndsWithID3v1(TStream &file);

class TID3v1 {
public:
    static constexpr std::size_t kTagSize = 128;
    static constexpr std::uint8_t kNoGenre = 255;

    TID3v1() { Clear(); }

    // Present false, TagVersion 1, texts empty, Track 0, GenreIndex 255.
    void Clear();

    // True when the last 128 bytes could be read; Present() says whether they were a tag.
    bool LoadFromFile(const std::string &fileName);
    // Cuts an ID3v1 tag off the end of the file. True also when there was none.
    bool StripFromFile(const std::string &fileName) const;
    // Replaces (or appends) the file's ID3v1 tag with one built from the properties.
    // A file that is not writable is refused (its permissions are never changed). On
    // failure the file is left as it was and *error says why.
    bool WriteToFile(const std::string &fileName, std::string *error = nullptr) const;
    // The same on an open stream.
    bool LoadFromStream(TStream &stream);
    bool StripFromStream(TStream &stream) const;
    bool WriteToStream(TStream &stream, std::string *error = nullptr) const;

    bool Present() const { return present_; }
    // 1 = ID3v1.0, 2 = ID3v1.1.
    std::uint8_t TagVersion() const { return tagVersion_; }

    const std::string &Title() const { return title_; }
    const std::string &Artist() const { return artist_; }
    const std::string &Album() const { return album_; }
    const std::string &Year() const { return year_; }
    const std::string &Comment() const { return comment_; }
    std::uint8_t Track() const { return track_; }
    std::uint8_t GenreIndex() const { return genreIndex_; }

    // Text setters drop trailing characters of code 0x20 or less, then keep at most the
    // field's width in characters (30; 4 for the year).
    void SetTitle(std::string_view text);
    void SetArtist(std::string_view text);
    void SetAlbum(std::string_view text);
    void SetYear(std::string_view text);
    void SetComment(std::string_view text);
    // 0 = no track; a written tag is version 1.1 exactly when the track is not 0.
    void SetTrack(std::uint8_t track) { track_ = track; }
    void SetGenreIndex(std::uint8_t index) { genreIndex_ = index; }

private:
    bool present_ = false;
    std::uint8_t tagVersion_ = 1;
    std::string title_;
    std::string artist_;
    std::string album_;
    std::string year_;
    std::string comment_;
    std::uint8_t track_ = 0;
    std::uint8_t genreIndex_ = kNoGenre;
};

}  // namespace trackmill
