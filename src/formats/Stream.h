// What the tag and stream readers and writers read and write: bytes at offsets, from a
// file or from memory (the fuzz harnesses and tests run without files). Short reads are
// reported, never thrown.
#pragma once

#include "os/Files.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace trackmill {

class TStream {
public:
    virtual ~TStream() = default;

    // Size in bytes, or -1 when unknown.
    virtual std::int64_t Size() = 0;
    // Reads up to n bytes at offset; returns how many were read.
    virtual std::size_t ReadSomeAt(std::int64_t offset, void *buf, std::size_t n) = 0;
    virtual bool WriteAt(std::int64_t offset, const void *data, std::size_t n) = 0;
    virtual bool Truncate(std::int64_t size) = 0;
    // Replaces the whole content in one step: `write` fills a new stream, and only when it
    // succeeds does that take the old content's place. A file keeps its owner and
    // permissions and is whole at every moment; its new content is made beside it.
    virtual bool Rewrite(const std::function<bool(TStream &out)> &write) = 0;
    // Why the last write, truncation or rewrite failed.
    virtual std::string ErrorText() const = 0;

    // Exactly n bytes at offset; false (and nothing promised in buf) when fewer are there.
    bool ReadAt(std::int64_t offset, void *buf, std::size_t n) { return n == 0 || ReadSomeAt(offset, buf, n) == n; }
    std::vector<std::uint8_t> ReadVectorAt(std::int64_t offset, std::size_t n);
};

// What a tag reader reads: the whole tag, or its texts alone, where a binary APE item or a
// picture frame is passed over by its size and never read (what naming a file needs).
enum class TTagRead { All, Texts };

// The bytes of a stream between two offsets, read a block at a time: a walk over many
// small pieces costs few reads, and what it passes over is never read.
class TStreamWindow {
public:
    TStreamWindow(TStream &stream, std::int64_t begin, std::int64_t end, std::size_t block);
    // Up to n bytes at offset, in one piece: fewer at the window's end or where the stream
    // ends. Valid until the next call.
    std::span<const std::uint8_t> At(std::int64_t offset, std::size_t n);

private:
    TStream &stream_;
    std::int64_t begin_, end_;
    std::size_t block_;
    std::vector<std::uint8_t> buffer_;
    std::int64_t at_ = 0;  // where buffer_ was read
    std::size_t got_ = 0;
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    TMemoryStream(const std::uint8_t *data, std::size_t size) : bytes_(data, data + size) {}

    const std::vector<std::uint8_t> &Bytes() const { return bytes_; }

    std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }
    std::size_t ReadSomeAt(std::int64_t offset, void *buf, std::size_t n) override;
    bool WriteAt(std::int64_t offset, const void *data, std::size_t n) override;
    bool Truncate(std::int64_t size) override;
    bool Rewrite(const std::function<bool(TStream &out)> &write) override;
    std::string ErrorText() const override { return error_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::string error_;
};

// An existing regular file, opened for reading or for reading and writing (permissions
// are never changed: a file we may not write does not open for writing).
class TFileStream : public TStream {
public:
    enum class Mode { Read, ReadWrite };

    TFileStream();
    ~TFileStream() override;
    bool Open(const std::string &path, Mode mode = Mode::Read, os::TFollow follow = os::TFollow::Links);
    // A file in a folder of ours, reached through the held folder (which must outlive the
    // stream); a rewrite stays in that folder.
    bool Open(os::TOwnFolder &folder, const std::string &name, Mode mode = Mode::Read);
    bool IsOpen() const;
    void Close();
    // Why Open failed.
    const std::string &OpenError() const { return openError_; }

    std::int64_t Size() override;
    std::size_t ReadSomeAt(std::int64_t offset, void *buf, std::size_t n) override;
    bool WriteAt(std::int64_t offset, const void *data, std::size_t n) override;
    bool Truncate(std::int64_t size) override;
    bool Rewrite(const std::function<bool(TStream &out)> &write) override;
    std::string ErrorText() const override { return error_; }

private:
    bool Opened(bool ok, const std::string &path, Mode mode);
    bool RewriteInFolder(const std::function<bool(TStream &out)> &write);

    os::TFile file_;
    std::string path_;  // or the name in folder_
    os::TOwnFolder *folder_ = nullptr;
    std::string openError_;
    std::string error_;
    Mode mode_ = Mode::Read;
};

// Opens an existing regular file for reading and writing; through a link, its target, so
// that a rewrite replaces the target and the link stays a link. Never a file we may not
// write: its permissions are not changed. False, with *error saying why, when it cannot.
bool OpenForWriting(TFileStream &file, const std::string &fileName, std::string *error);

}  // namespace trackmill
