#include "formats/Stream.h"

#include "os/Files.h"
#include "os/OwnFolder.h"
#include "os/Path.h"

#include <algorithm>
#include <cstring>

namespace trackmill {

std::vector<std::uint8_t> TStream::ReadVectorAt(std::int64_t offset, std::size_t n)
{
    std::vector<std::uint8_t> v(n);
    v.resize(ReadSomeAt(offset, v.data(), n));
    return v;
}

TStreamWindow::TStreamWindow(TStream &stream, std::int64_t begin, std::int64_t end, std::size_t block)
    : stream_(stream), begin_(begin), end_(std::max(begin, end)), block_(std::max<std::size_t>(block, 1))
{
}

std::span<const std::uint8_t> TStreamWindow::At(std::int64_t offset, std::size_t n)
{
    if (offset < begin_ || offset >= end_) return {};
    n = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(n), end_ - offset));
    if (offset < at_ || offset - at_ + static_cast<std::int64_t>(n) > static_cast<std::int64_t>(got_)) {
        const std::size_t want =
            std::max(n, static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(block_), end_ - offset)));
        if (buffer_.size() < want) buffer_.resize(want);
        at_ = offset;
        got_ = stream_.ReadSomeAt(offset, buffer_.data(), want);
    }
    const auto from = static_cast<std::size_t>(offset - at_);
    return {buffer_.data() + from, got_ > from ? std::min(n, got_ - from) : 0};
}

// ---- memory ----

std::size_t TMemoryStream::ReadSomeAt(std::int64_t offset, void *buf, std::size_t n)
{
    if (offset < 0 || static_cast<std::uint64_t>(offset) >= bytes_.size() || n == 0) return 0;
    const std::size_t at = static_cast<std::size_t>(offset);
    const std::size_t count = std::min(n, bytes_.size() - at);
    std::memcpy(buf, bytes_.data() + at, count);
    return count;
}

bool TMemoryStream::WriteAt(std::int64_t offset, const void *data, std::size_t n)
{
    if (offset < 0) {
        error_ = "invalid offset";
        return false;
    }
    const std::size_t at = static_cast<std::size_t>(offset);
    if (bytes_.size() < at + n) bytes_.resize(at + n);
    if (n > 0) std::memcpy(bytes_.data() + at, data, n);
    return true;
}

bool TMemoryStream::Truncate(std::int64_t size)
{
    if (size < 0) {
        error_ = "invalid size";
        return false;
    }
    bytes_.resize(static_cast<std::size_t>(size));
    return true;
}

bool TMemoryStream::Rewrite(const std::function<bool(TStream &out)> &write)
{
    TMemoryStream fresh;
    if (!write(fresh)) {
        error_ = fresh.error_.empty() ? "the new content could not be made" : fresh.error_;
        return false;
    }
    bytes_ = std::move(fresh.bytes_);
    return true;
}

// ---- file ----

TFileStream::TFileStream() = default;
TFileStream::~TFileStream() = default;

bool TFileStream::Open(const std::string &path, Mode mode, os::TFollow follow)
{
    Close();
    folder_ = nullptr;
    return Opened(
        file_.Open(path, mode == Mode::ReadWrite ? os::TFile::Mode::ReadWrite : os::TFile::Mode::Read, follow), path,
        mode);
}

bool TFileStream::Open(os::TOwnFolder &folder, const std::string &name, Mode mode)
{
    Close();
    folder_ = &folder;
    return Opened(
        file_.Open(folder, name, mode == Mode::ReadWrite ? os::TFile::Mode::ReadWrite : os::TFile::Mode::Read), name,
        mode);
}

bool TFileStream::Opened(bool ok, const std::string &path, Mode mode)
{
    if (!ok) {
        openError_ = os::ErrorText(file_.Error());
        return false;
    }
    path_ = path;
    mode_ = mode;
    openError_.clear();
    error_.clear();
    return true;
}

bool TFileStream::IsOpen() const { return file_.IsOpen(); }

void TFileStream::Close() { file_.Close(); }

std::int64_t TFileStream::Size() { return file_.Size(); }

std::size_t TFileStream::ReadSomeAt(std::int64_t offset, void *buf, std::size_t n)
{
    return file_.ReadSomeAt(offset, buf, n);
}

bool TFileStream::WriteAt(std::int64_t offset, const void *data, std::size_t n)
{
    if (file_.WriteAt(offset, data, n)) return true;
    error_ = file_.IsOpen() ? os::ErrorText(file_.Error()) : "the file is not open";
    return false;
}

bool TFileStream::Truncate(std::int64_t size)
{
    if (file_.Truncate(size)) return true;
    error_ = file_.IsOpen() ? os::ErrorText(file_.Error()) : "the file is not open";
    return false;
}

namespace {

// The new content of a file, written into a file of its own beside it.
class TSiblingStream : public TStream {
public:
    explicit TSiblingStream(os::TFile &file) : file_(file) {}
    std::int64_t Size() override { return file_.Size(); }
    std::size_t ReadSomeAt(std::int64_t offset, void *buf, std::size_t n) override { return file_.ReadSomeAt(offset, buf, n); }
    bool WriteAt(std::int64_t offset, const void *data, std::size_t n) override { return file_.WriteAt(offset, data, n); }
    bool Truncate(std::int64_t size) override { return file_.Truncate(size); }
    bool Rewrite(const std::function<bool(TStream &)> &) override { return false; }
    std::string ErrorText() const override { return os::ErrorText(file_.Error()); }

private:
    os::TFile &file_;
};

}  // namespace

bool TFileStream::Rewrite(const std::function<bool(TStream &out)> &write)
{
    auto fail = [&](const std::string &why) {
        error_ = why;
        return false;
    };
    if (!file_.IsOpen() || mode_ != Mode::ReadWrite) return fail("the file is not open for writing");
    if (folder_) return RewriteInFolder(write);
    // Never "name~" or another name a user may have: a short unique one, made exclusively.
    os::TFile temp;
    std::string tempPath;
    if (!temp.CreateUnique(os::FolderOf(path_), ".tm-", "", &tempPath))
        return fail("cannot create a temporary file beside it: " + os::ErrorText(temp.Error()));
    TSiblingStream out(temp);
    const bool written = temp.TakeOwnerAndMode(path_) && write(out);
    const int err = written ? temp.Close() : temp.Error();
    if (!written || err != 0) {
        temp.Close();
        os::RemoveFile(tempPath);
        return fail(err != 0 ? os::ErrorText(err) : "the new content could not be written");
    }
    // Some systems replace no file that is open; then go on with the new content.
    file_.Close();
    const int moved = os::Replace(tempPath, path_);
    if (moved != 0) os::RemoveFile(tempPath);
    if (!file_.Open(path_, os::TFile::Mode::ReadWrite)) return fail(os::ErrorText(file_.Error()));
    return moved == 0 || fail(os::ErrorText(moved));
}

bool TFileStream::RewriteInFolder(const std::function<bool(TStream &out)> &write)
{
    auto fail = [&](const std::string &why) {
        error_ = why;
        return false;
    };
    // The folder is ours alone: a fixed name beside the file is free, or was left by a
    // rewrite of ours.
    const std::string tempName = path_ + ".new";
    folder_->RemoveFile(tempName);
    os::TFile temp;
    if (!temp.Create(*folder_, tempName))
        return fail("cannot create a temporary file beside it: " + os::ErrorText(temp.Error()));
    TSiblingStream out(temp);
    const bool written = temp.TakeOwnerAndMode(file_) && write(out);
    const int err = written ? temp.Close() : temp.Error();
    if (!written || err != 0) {
        temp.Close();
        folder_->RemoveFile(tempName);
        return fail(err != 0 ? os::ErrorText(err) : "the new content could not be written");
    }
    file_.Close();
    const int moved = folder_->Rename(tempName, path_);
    if (moved != 0) folder_->RemoveFile(tempName);
    if (!file_.Open(*folder_, path_, os::TFile::Mode::ReadWrite)) return fail(os::ErrorText(file_.Error()));
    return moved == 0 || fail(os::ErrorText(moved));
}

bool OpenForWriting(TFileStream &file, const std::string &fileName, std::string *error)
{
    auto fail = [&](const std::string &reason) {
        if (error) *error = reason;
        return false;
    };
    const os::TFileInfo info = os::Stat(fileName);
    if (info.kind != os::TKind::File) return fail(info.kind == os::TKind::None ? "no such file" : "not a regular file");
    int err = 0;
    const std::string target = os::Stat(fileName, os::TFollow::NotLinks).link ? os::ResolveLinks(fileName, &err) : fileName;
    if (target.empty()) return fail(os::ErrorText(err));
    if (!file.Open(target, TFileStream::Mode::ReadWrite)) return fail(file.OpenError());
    return true;
}

}  // namespace trackmill
