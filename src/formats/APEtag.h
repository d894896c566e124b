// Reader of an APE tag (versions 1.0 and 2.0) at the end of a file, possibly followed
// by a 128-byte ID3v1 tag. Read only: the program never writes APE tags.
//
// Footer (32 bytes, little-endian 32-bit numbers):
//   0 "APETAGEX" | 8 version (1000, 2000) | 12 tag size (items + footer, no header)
//   | 16 item count | 20 flags | 24 reserved[8]
// Items start at footer end - tag size; each is
//   value size (4) | flags (4) | key up to and including a 0 byte | value bytes.
// Values are Latin-1 in version 1.0 and UTF-8 in later versions; every text here is UTF-8.
#pragma once

#include <cstdint>
#include <string>

namespace trackmill {

class TAPEtag {
public:
    TAPEtag() { Clear(); }

    // Present false, TagVersion 0, TagSize 0, Track 0, texts empty.
    void Clear();

    // True when the footer bytes could be read; Present() says whether they were a tag.
    bool LoadFromFile(const std::string &fileName);

    bool Present() const { return present_; }
    // As stored: 1000 for 1.0, 2000 for 2.0.
    std::int32_t TagVersion() const { return tagVersion_; }
    // As stored in the footer: the items plus the footer, without a header.
    std::int32_t TagSize() const { return tagSize_; }

    const std::string &Title() const { return title_; }
    const std::string &Artist() const { return artist_; }
    const std::string &Album() const { return album_; }
    // From the "Track" item ("7/12" gives 7); 0 when none or not a number.
    std::uint8_t Track() const { return track_; }
    const std::string &Year() const { return year_; }
    // A genre name, not a number.
    const std::string &Genre() const { return genre_; }
    const std::string &Comment() const { return comment_; }
    const std::string &Copyright() const { return copyright_; }

private:
    bool present_ = false;
    std::int32_t tagVersion_ = 0;
    std::int32_t tagSize_ = 0;
    std::string title_;
    std::string artist_;
    std::string album_;
    std::uint8_t track_ = 0;
    std::string year_;
    std::string genre_;
    std::string comment_;
    std::string copyright_;
};

}  // namespace trackmill
