#include "formats/BinaryFile.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace trackmill {

BinaryFile::~BinaryFile() { Close(); }

bool BinaryFile::Open(const std::filesystem::path &path, Mode mode)
{
    Close();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error_ = ec ? ec.value() : EISDIR;
        return false;
    }
    file_ = std::fopen(path.c_str(), mode == Mode::Read ? "rb" : "r+b");
    if (!file_) error_ = errno;
    return file_ != nullptr;
}

void BinaryFile::Close()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

std::int64_t BinaryFile::Size() const
{
    if (!file_) return -1;
    if (std::fseek(file_, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(file_);
    return size < 0 ? -1 : static_cast<std::int64_t>(size);
}

std::size_t BinaryFile::ReadSomeAt(std::int64_t offset, void *buf, std::size_t n)
{
    if (!file_ || offset < 0 || n == 0) return 0;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    return std::fread(buf, 1, n, file_);
}

bool BinaryFile::ReadAt(std::int64_t offset, void *buf, std::size_t n)
{
    return n == 0 || ReadSomeAt(offset, buf, n) == n;
}

std::vector<std::uint8_t> BinaryFile::ReadVectorAt(std::int64_t offset, std::size_t n)
{
    std::vector<std::uint8_t> v(n);
    v.resize(ReadSomeAt(offset, v.data(), n));
    return v;
}

bool BinaryFile::WriteAt(std::int64_t offset, const void *data, std::size_t n)
{
    if (!file_ || offset < 0) return false;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0 || std::fwrite(data, 1, n, file_) != n) {
        error_ = errno;
        return false;
    }
    return true;
}

bool BinaryFile::Flush()
{
    if (!file_) return false;
    if (std::fflush(file_) != 0) {
        error_ = errno;
        return false;
    }
    return true;
}

std::string ErrnoText(int err)
{
    return err == 0 ? std::string("unknown error") : std::string(std::strerror(err));
}

}  // namespace trackmill
