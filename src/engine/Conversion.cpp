#include "engine/Conversion.h"

#include "engine/Command.h"
#include "engine/OutputPlan.h"
#include "formats/MPEGAudio.h"
#include "formats/MPEGplus.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace trackmill {

namespace fs = std::filesystem;

namespace {

std::string ErrorText(int err) { return std::strerror(err); }

// The mode a file created by the user's programs would get: 0666 less the umask.
mode_t NewFileMode()
{
    static const mode_t mode = [] {
        const mode_t mask = ::umask(022);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

std::string FolderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool UsableFolder(const char *folder)
{
    struct stat st {};
    return folder && folder[0] == '/' && ::stat(folder, &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(folder, W_OK | X_OK) == 0;
}

std::string Seconds(double s)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", s);
    return buf;
}

constexpr const char *kAppeared = "exists: ";

// Puts the MP3 at its output name. Without `mayReplace` an existing file is never
// replaced, even one that appeared since the plan was made (reason "exists: ...").
// A replaced file's permission bits go to the new one.
bool Place(const std::string &temp, const std::string &output, bool mayReplace, std::string &reason)
{
    struct stat st {};
    const bool exists = ::lstat(output.c_str(), &st) == 0;
    if (exists && !mayReplace) {
        reason = kAppeared + output;
        return false;
    }
    if (exists) {
        if (std::string why = WhyNotReplaceable(output); !why.empty()) {
            reason = std::move(why);
            return false;
        }
        ::chmod(temp.c_str(), st.st_mode & 07777);
        if (::rename(temp.c_str(), output.c_str()) == 0) return true;
        reason = "cannot rename the MP3 to " + output + ": " + ErrorText(errno);
        return false;
    }
    // Never over a file that appears at the last moment.
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, output.c_str(), RENAME_NOREPLACE) == 0) return true;
    int err = errno;
    if (err == EINVAL || err == ENOSYS) {
        if (::link(temp.c_str(), output.c_str()) == 0) {
            ::unlink(temp.c_str());
            return true;
        }
        err = errno;
        if (err == EPERM || err == EOPNOTSUPP) {  // no hard links here (e.g. FAT)
            if (::lstat(output.c_str(), &st) != 0 && ::rename(temp.c_str(), output.c_str()) == 0) return true;
            err = errno == 0 ? EEXIST : errno;
        }
    }
    reason = err == EEXIST ? kAppeared + output : "cannot rename the MP3 to " + output + ": " + ErrorText(err);
    return false;
}

}  // namespace

TScratchFolder::~TScratchFolder() { Remove(); }

void TScratchFolder::Remove()
{
    if (path_.empty()) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
    path_.clear();
}

bool TScratchFolder::Ensure(std::string *error)
{
    struct stat st {};
    if (!path_.empty() && ::lstat(path_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    const char *tmp = std::getenv("TMPDIR");
    std::string base = UsableFolder(runtime) ? runtime : UsableFolder(tmp) ? tmp : "/tmp";
    std::string pattern = base + "/trackmill-XXXXXX";
    if (!::mkdtemp(pattern.data())) {  // mode 0700
        if (error) *error = "cannot create a private folder in " + base + ": " + ErrorText(errno);
        return false;
    }
    path_ = pattern;
    return true;
}

TCommandLines BuildCommandLines(const TConversionSetup &setup, const std::string &source,
                                const std::string &outputShown, const std::string &outputWritten,
                                const std::string &statusPath, const PathQuoter &quote)
{
    TCommandLines lines;
    lines.shown = BuildCommand(setup.commandTemplate, setup.decoderOptions, source, setup.encoderOptions,
                               outputShown, quote);
    // The programs and the status file first, so that an option text holding their
    // placeholders stays as typed.
    lines.script = FillTemplate(setup.scriptTemplate,
                                {{kPlaceholderDecoder, setup.decoderPath, true},
                                 {kPlaceholderEncoder, setup.encoderPath, true},
                                 {kPlaceholderStatusFile, statusPath, true},
                                 {kPlaceholderDecoderOptions, setup.decoderOptions, false},
                                 {kPlaceholderInFile, source, true},
                                 {kPlaceholderEncoderOptions, setup.encoderOptions, false},
                                 {kPlaceholderOutFile, outputWritten, true}},
                                quote);
    return lines;
}

bool PrepareFile(const TWorkItem &item, const TConversionSetup &setup, const PathQuoter &quote,
                 TScratchFolder &scratch, TPreparedFile &prepared, std::string *error)
{
    auto fail = [&](const std::string &why) {
        DiscardPrepared(prepared);
        std::vector<std::string> created = std::move(prepared.createdFolders);
        prepared = {};
        prepared.createdFolders = std::move(created);
        if (error) *error = why;
        return false;
    };
    prepared = {};
    const std::string folder = FolderOf(item.output);
    std::error_code ec;
    std::vector<std::string> missing;
    for (fs::path p = folder; p.has_relative_path() && !fs::exists(fs::symlink_status(p, ec)); p = p.parent_path())
        missing.insert(missing.begin(), p.string());
    fs::create_directories(folder, ec);
    for (const std::string &f : missing) {
        std::error_code statError;
        if (fs::is_directory(fs::symlink_status(f, statError))) prepared.createdFolders.push_back(f);
    }
    if (ec) return fail("the output folder " + folder + " cannot be created: " + ec.message());

    std::string temp = folder + "/.tm-XXXXXX.mp3";
    const int fd = ::mkostemps(temp.data(), 4, O_CLOEXEC);
    if (fd < 0) return fail("cannot write in " + folder + ": " + ErrorText(errno));
    ::fchmod(fd, NewFileMode());
    ::close(fd);
    prepared.tempMp3 = temp;

    std::string why;
    if (!scratch.Ensure(&why)) return fail(why);
    const std::string stem = scratch.Path() + "/" + std::to_string(item.id);
    prepared.scriptPath = stem + ".sh";
    prepared.statusPath = stem + ".status";
    ::unlink(prepared.statusPath.c_str());
    prepared.lines = BuildCommandLines(setup, item.source, item.output, prepared.tempMp3, prepared.statusPath, quote);
    if (!WriteScript(prepared.scriptPath, prepared.lines.script, &why)) {
        prepared.scriptPath.clear();
        return fail("cannot write the script: " + why);
    }
    prepared.argv = {setup.shell, prepared.scriptPath};
    return true;
}

void DiscardPrepared(const TPreparedFile &prepared)
{
    for (const std::string *path : {&prepared.tempMp3, &prepared.scriptPath, &prepared.statusPath})
        if (!path->empty()) ::unlink(path->c_str());
}

void RemoveEmptyFolders(const std::vector<std::string> &folders)
{
    // rmdir removes only an empty folder, so nothing put there meanwhile is lost.
    for (auto f = folders.rbegin(); f != folders.rend(); ++f) ::rmdir(f->c_str());
}

std::string CompareDurations(double mp3Seconds, double sourceSeconds)
{
    if (sourceSeconds <= 0) return {};
    if (std::fabs(mp3Seconds - sourceSeconds) <= 0.2 + 0.01 * sourceSeconds) return {};
    return "the MP3 lasts " + Seconds(mp3Seconds) + " s, the source " + Seconds(sourceSeconds) + " s";
}

TConversionResult FinishFile(const TWorkItem &item, const TPreparedFile &prepared, int encoderStatus,
                             const TTagSwitches &tags, bool mayReplace)
{
    TConversionResult result;
    int decoderStatus = -1;
    if (std::FILE *f = std::fopen(prepared.statusPath.c_str(), "r")) {
        if (std::fscanf(f, "%d", &decoderStatus) != 1) decoderStatus = -1;
        std::fclose(f);
    }
    for (const std::string *path : {&prepared.scriptPath, &prepared.statusPath})
        if (!path->empty()) ::unlink(path->c_str());

    auto failed = [&](const std::string &why, TConversionResult::Outcome outcome = TConversionResult::Outcome::Failed) {
        if (!prepared.tempMp3.empty()) ::unlink(prepared.tempMp3.c_str());
        result.ok = false;
        result.outcome = outcome;
        result.reason = why;
        return result;
    };
    // A decoder ended by the encoder going away (SIGPIPE: 141) is the encoder's fault.
    constexpr int kBrokenPipe = 128 + 13;
    constexpr int kShellError = 2;
    // The decoder's status is missing only when its shell could not run it (or was killed);
    // a shell that could not start the encoder ends with 2 while the decoder lost its reader.
    if (decoderStatus == -1 || (encoderStatus == kShellError && decoderStatus == kBrokenPipe))
        return failed("the system could not start the programs", TConversionResult::Outcome::TryAgain);
    if (decoderStatus != 0 && decoderStatus != kBrokenPipe && decoderStatus != -1)
        return failed("the decoder stopped with exit status " + std::to_string(decoderStatus));
    if (encoderStatus != 0) return failed("the encoder stopped with exit status " + std::to_string(encoderStatus));
    if (decoderStatus == kBrokenPipe) return failed("the decoder stopped with exit status 141");

    struct stat st {};
    if (::stat(prepared.tempMp3.c_str(), &st) != 0) return failed("no MP3 was written");
    if (st.st_size == 0) return failed("the MP3 is empty");
    TMPEGplus source;
    const double sourceSeconds = source.LoadHeaderFromFile(item.source) && source.Valid() ? source.PlayingTime() : 0.0;
    const std::string mismatch = CompareDurations(Mp3Duration(prepared.tempMp3), sourceSeconds);
    if (!mismatch.empty()) return failed(mismatch);

    result.tags = TransferTags(item.source, prepared.tempMp3, tags);
    if (!result.tags.error.empty()) return failed("the tags could not be written: " + result.tags.error);

    std::string why;
    if (!Place(prepared.tempMp3, item.output, mayReplace, why))
        return failed(why, why.rfind(kAppeared, 0) == 0 ? TConversionResult::Outcome::Skipped
                                                        : TConversionResult::Outcome::Failed);
    result.ok = true;
    result.outcome = TConversionResult::Outcome::Converted;
    // Said beside what the plan said of the file (a renamed output), not instead of it.
    if (!result.tags.omitted.empty())
        result.reason = item.reason.empty() ? result.tags.omitted : item.reason + "; " + result.tags.omitted;
    return result;
}

}  // namespace trackmill
