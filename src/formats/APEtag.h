// Reader of an APE tag (versions 1.0 and 2.0) at the end of a file, possibly followed
// by a 128-byte ID3v1 tag. Read only: the program never writes APE tags.
//
// Footer (32 bytes, little-endian 32-bit numbers):
//   0 "APETAGEX" | 8 version (1000, 2000) | 12 tag size (items + footer, no header)
//   | 16 item count | 20 flags | 24 reserved[8]
// Items start at footer end - tag size; each is
//   value size (4) | flags (4) | key up to and including a 0 byte | value bytes.
// Item flags bits 1-2: 0 text, 1 binary, 2 external link. A text value may hold several
// values separated by 0 bytes. Texts are Latin-1 in version 1.0 and UTF-8 later; every
// text here is UTF-8.
//
// Hostile files are held to sane caps: the items of at most 16 MiB and 65,536 items are
// read (the rest of the tag is not), a text value keeps at most 64 KiB.
#pragma once

#include "formats/Stream.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trackmill {

struct TAPEitem {
    std::string key;       // trimmed, never empty
    std::uint32_t flags = 0;
    // Text and links: UTF-8, values separated by 0 bytes. Binary: the bytes as stored.
    std::string value;

    bool IsBinary() const { return ((flags >> 1) & 3) == 1; }
    // The values joined with "/", each without blanks at its ends.
    std::string Text() const;
};

class TAPEtag {
public:
    static constexpr std::int64_t kMaxItemBytes = 16 * 1024 * 1024;
    static constexpr std::size_t kMaxItems = 65536;
    static constexpr std::size_t kMaxTextBytes = 64 * 1024;

    TAPEtag() { Clear(); }

    // Present false, TagVersion 0, TagSize 0, Track 0, no items.
    void Clear();

    // True when the footer bytes could be read; Present() says whether they were a tag.
    bool LoadFromFile(const std::string &fileName);
    // With TTagRead::Texts a binary item is kept with its key and flags but an empty value:
    // its bytes are passed over, never read.
    bool LoadFromStream(TStream &stream, TTagRead what = TTagRead::All);

    bool Present() const { return present_; }
    // As stored: 1000 for 1.0, 2000 for 2.0.
    std::int32_t TagVersion() const { return tagVersion_; }
    // As stored in the footer: the items plus the footer, without a header.
    std::int32_t TagSize() const { return tagSize_; }

    // What the caps above left out of the tag, as a person reads it.
    const std::vector<std::string> &Omitted() const { return omitted_; }

    // Every item read, in file order; a key met again replaces the earlier value.
    const std::vector<TAPEitem> &Items() const { return items_; }
    // The item of that key (letters in any case), or nullptr.
    const TAPEitem *Find(std::string_view key) const;
    // Text() of the item of that key, or "" when there is none or it is binary.
    std::string Value(std::string_view key) const;

    std::string Title() const { return Value("Title"); }
    std::string Artist() const { return Value("Artist"); }
    std::string Album() const { return Value("Album"); }
    // The number before a "/" of the "Track" item ("7/12" gives 7); 0 when none, not a
    // number, or outside 0..65535.
    std::uint16_t Track() const;
    std::string Year() const { return Value("Year"); }
    // A genre name, not a number.
    std::string Genre() const { return Value("Genre"); }
    std::string Comment() const { return Value("Comment"); }
    std::string Copyright() const { return Value("Copyright"); }

private:
    // The items in the window's first `size` bytes from `start`. `cutAtLimit`: they run on
    // past `size`, which the byte cap ended.
    void ReadItems(TStreamWindow &items, std::int64_t start, std::size_t size, std::int64_t count, bool cutAtLimit,
                   TTagRead what);

    bool present_ = false;
    std::int32_t tagVersion_ = 0;
    std::int32_t tagSize_ = 0;
    std::vector<TAPEitem> items_;
    std::vector<std::string> omitted_;
};

}  // namespace trackmill
