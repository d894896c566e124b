// ID3v2 tag: reads versions 2.2, 2.3 and 2.4 from the start of a file and writes
// version 2.3 there, in place when the new tag fits the old one, else by rebuilding
// the file through a temporary copy. Every frame read is kept, in its 2.3 form
// (ID3v2Read.h), and written back; the properties are the common fields of those
// frames. Texts are UTF-8.
#pragma once

#include "formats/ID3v2Frame.h"
#include "formats/Stream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trackmill {

class TID3v2 {
public:
    // A tag larger than this is read only this far; TagSize() still tells the whole.
    static constexpr std::int64_t kMaxTagRead = 64 * 1024 * 1024;

    TID3v2();

    void Clear();

    // True when the first 10 bytes could be read; Present() says whether a tag was there.
    bool LoadFromFile(const std::string &fileName);
    // The same, but only the 10-byte header: Present, TagVersion and TagSize, no frames.
    bool LoadHeaderFromFile(const std::string &fileName);
    // Writes an ID3v2.3 tag of the frames, replacing any ID3v2 tag at the start.
    // Never changes the bytes after the tag, nor the file's permissions; on failure the
    // file keeps its old content (a failed in-place write may leave a partly written tag
    // of the same size) and *error says why.
    bool WriteToFile(const std::string &fileName, std::string *error = nullptr) const;
    // The same on an open stream; with TTagRead::Texts only the text frames are read
    // (ID3v2Read.h: TextFramesOf), and Frames() holds those alone.
    bool LoadFromStream(TStream &stream, TTagRead what = TTagRead::All);
    bool LoadHeaderFromStream(TStream &stream);
    bool WriteToStream(TStream &stream, std::string *error = nullptr) const;

    bool Present() const { return present_; }
    std::uint8_t TagVersion() const { return tagVersion_; }
    // Whole tag size in bytes, header and footer included; 0 when none.
    std::int32_t TagSize() const { return tagSize_; }

    // What the limits against hostile files left out of the tag read, as a person reads
    // it ("the cover picture of 16.0 MiB exceeds the 16 MiB limit and was not carried").
    const std::vector<std::string> &Omitted() const { return omitted_; }

    // Every frame, as version 2.3 holds it, in tag order.
    const std::vector<TID3v2Frame> &Frames() const { return frames_; }
    // Replaces every frame; the properties follow.
    void SetFrames(std::vector<TID3v2Frame> frames);

    const std::string &Title() const { return title_; }
    const std::string &Artist() const { return artist_; }
    const std::string &Album() const { return album_; }
    std::uint16_t Track() const { return track_; }
    const std::string &Year() const { return year_; }
    const std::string &Genre() const { return genre_; }
    const std::string &Comment() const { return comment_; }
    const std::string &Composer() const { return composer_; }
    const std::string &Encoder() const { return encoder_; }
    const std::string &Copyright() const { return copyright_; }
    const std::string &Language() const { return language_; }
    const std::string &URL() const { return url_; }

    // Setters remove leading and trailing characters of code 0x20 or less and replace
    // the field's frame (an empty value removes it).
    void SetTitle(const std::string &value);
    void SetArtist(const std::string &value);
    void SetAlbum(const std::string &value);
    void SetTrack(std::uint16_t value);
    void SetYear(const std::string &value);
    void SetGenre(const std::string &value);
    void SetComment(const std::string &value);

private:
    void FillProperties();
    void SetTextFrame(std::string_view id, const std::string &value);

    bool present_ = false;
    std::uint8_t tagVersion_ = 0;
    std::int32_t tagSize_ = 0;
    std::vector<TID3v2Frame> frames_;
    std::vector<std::string> omitted_;
    std::string title_;
    std::string artist_;
    std::string album_;
    std::uint16_t track_ = 0;
    std::string year_;
    std::string genre_;
    std::string comment_;
    std::string composer_;
    std::string encoder_;
    std::string copyright_;
    std::string language_;
    std::string url_;
};

}  // namespace trackmill
