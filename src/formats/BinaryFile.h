// A small binary file handle for the tag readers and writers: positioned reads that
// report short reads instead of throwing, and the few writes the tag writers need.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace trackmill {

class BinaryFile {
public:
    enum class Mode { Read, ReadWrite };

    BinaryFile() = default;
    ~BinaryFile();
    BinaryFile(const BinaryFile &) = delete;
    BinaryFile &operator=(const BinaryFile &) = delete;

    // Opens an existing file; false when it is missing, a folder or unreadable (or, for
    // ReadWrite, not writable: permissions are never changed). Error() tells why.
    bool Open(const std::filesystem::path &path, Mode mode = Mode::Read);
    bool IsOpen() const { return file_ != nullptr; }
    void Close();

    // Size in bytes, or -1 when unknown.
    std::int64_t Size() const;

    // Reads exactly n bytes at offset; false (and nothing promised in buf) when fewer are there.
    bool ReadAt(std::int64_t offset, void *buf, std::size_t n);
    // Reads up to n bytes at offset; returns how many were read.
    std::size_t ReadSomeAt(std::int64_t offset, void *buf, std::size_t n);
    std::vector<std::uint8_t> ReadVectorAt(std::int64_t offset, std::size_t n);

    bool WriteAt(std::int64_t offset, const void *data, std::size_t n);
    bool Flush();

    // The errno of the last failed Open, WriteAt or Flush; 0 when none failed.
    int Error() const { return error_; }

private:
    std::FILE *file_ = nullptr;
    int error_ = 0;
};

// A failure's reason for the user, from an errno value ("Permission denied").
std::string ErrnoText(int err);

}  // namespace trackmill
