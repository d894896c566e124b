#include "engine/Conversion.h"

#include "engine/Command.h"
#include "engine/FileInfo.h"
#include "engine/Library.h"
#include "engine/OutputPlan.h"
#include "formats/ID3v1.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Read.h"
#include "formats/MPEGAudio.h"
#include "formats/MPEGplus.h"
#include "os/Files.h"
#include "os/Path.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>


namespace trackmill {

namespace {

constexpr const char *kAppeared = "exists: ";
constexpr std::size_t kDecoderLogBytes = 256 * 1024;

// Puts the MP3 (`name` in `folder`) at its output name. Without `mayReplace` an existing
// file is never replaced, even one that appeared since the plan was made (reason
// "exists: ..."). A replaced file's permission bits go to the new one.
bool Place(os::TOwnFolder &folder, const std::string &name, const std::string &output, bool mayReplace,
           std::string_view noun, std::string &reason)
{
    const std::string cannotRename = "cannot rename the " + std::string(noun) + " to " + os::Native(output) + ": ";
    const bool exists = os::Exists(output);
    if (exists && !mayReplace) {
        reason = kAppeared + os::Native(output);
        return false;
    }
    if (exists) {
        if (std::string why = WhyNotReplaceable(output); !why.empty()) {
            reason = std::move(why);
            return false;
        }
        folder.TakeModeOf(name, output);
        if (const int err = folder.MoveOut(name, output, true); err != 0) {
            reason = cannotRename + os::ErrorText(err);
            return false;
        }
        return true;
    }
    // Never over a file that appears at the last moment.
    const int err = folder.MoveOut(name, output, false);
    if (err == 0) return true;
    reason = err == EEXIST ? kAppeared + os::Native(output) : cannotRename + os::ErrorText(err);
    return false;
}

// Why a decoder gave up, when the MP3 tells: a source that decoded part of the way and
// then stopped is damaged, and how far it got is what a person can check. Empty when
// nothing was decoded (more likely the options or the program) or the source changed.
std::string HowFarDecoded(const std::string &sourcePath, const TPreparedFile &prepared, const TSourceAtStart &source)
{
    const double sourceSeconds = source.PlayingTime();
    if (sourceSeconds <= 0) return {};
    const os::TFileInfo now = os::Stat(sourcePath);
    if (now.kind == os::TKind::None) return "the source was removed while it was converted";
    if (now.kind != source.info.kind || now.size != source.info.size || now.modified != source.info.modified)
        return "the source changed while it was converted";
    TFileStream written;
    if (!written.Open(*prepared.workFolder, prepared.tempOutput)) return {};
    const std::optional<double> decoded = prepared.target->AudioSeconds(written);
    if (!decoded || CompareDurations(*decoded, sourceSeconds).empty()) return {};
    return "the source is damaged: decoding stopped after " + OneDecimal(std::min(*decoded, sourceSeconds)) + " of " +
           OneDecimal(sourceSeconds) + " s";
}

}  // namespace

TCommandLines BuildCommandLines(const TConversionSetup &setup, const std::string &source,
                                const std::string &outputShown, const std::string &outputWritten,
                                const std::string &statusPath, const PathQuoter &quote,
                                const std::string &decoderLogPath)
{
    TCommandLines lines;
    lines.shown = BuildCommand(setup.commandTemplate, setup.decoderOptions, os::Native(source), setup.encoderOptions,
                               os::Native(outputShown), quote);
    // The programs and the status file first, so that an option text holding their
    // placeholders stays as typed.
    lines.script = FillTemplate(setup.scriptTemplate,
                                {{kPlaceholderDecoder, setup.decoderPath, true},
                                 {kPlaceholderEncoder, setup.encoderPath, true},
                                 {kPlaceholderStatusFile, statusPath, true},
                                 {kPlaceholderDecoderLog, decoderLogPath, true},
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
    const std::string folder = os::FolderOf(item.output);
    if (const int err = os::CreateFolders(folder, &prepared.createdFolders); err != 0)
        return fail("the output folder " + os::Native(folder) + " cannot be created: " + os::ErrorText(err));

    std::string why;
    if (!scratch.Ensure(&why)) return fail(why);
    prepared.scratch = &scratch;
    // The encoder writes in a folder no one else may enter: another user who may write the
    // output folder could otherwise put a link in the MP3's place before it is opened.
    auto work = std::make_unique<os::TOwnFolder>();
    if (const int err = work->Create(folder, kTemporaryPrefix); err != 0)
        return fail("cannot write in " + os::Native(folder) + ": " + os::ErrorText(err));
    prepared.workFolder = std::move(work);
    scratch.NoteTemporary(prepared.workFolder->Path());
    prepared.target = &OutputTarget(setup.format);
    prepared.encoderProgram = setup.encoderProgram;
    os::TFile temp;
    if (!temp.Create(*prepared.workFolder, prepared.target->TemporaryName()))
        return fail("cannot write in " + os::Native(folder) + ": " + os::ErrorText(temp.Error()));
    temp.Close();
    prepared.tempOutput = prepared.target->TemporaryName();

    const std::string stem = std::to_string(item.id);
    prepared.statusName = stem + ".status";
    prepared.decoderLogName = stem + ".decoder";
    scratch.RemoveFile(prepared.statusName);
    scratch.RemoveFile(prepared.decoderLogName);
    prepared.lines = BuildCommandLines(setup, item.source, item.output, prepared.tempOutput,
                                       os::Join(scratch.Path(), prepared.statusName), quote,
                                       os::Join(scratch.Path(), prepared.decoderLogName));
    if (!scratch.WriteFile(stem + ".sh", prepared.lines.script + "\n", &why))
        return fail("cannot write the script: " + why);
    prepared.scriptName = stem + ".sh";
    prepared.argv = {setup.shell, os::Join(scratch.Path(), prepared.scriptName)};
    return true;
}

void DiscardPrepared(const TPreparedFile &prepared)
{
    if (prepared.workFolder) prepared.workFolder->Remove();
    if (prepared.scratch) {
        if (!prepared.scriptName.empty()) prepared.scratch->RemoveFile(prepared.scriptName);
        if (!prepared.statusName.empty()) prepared.scratch->RemoveFile(prepared.statusName);
        if (!prepared.decoderLogName.empty()) prepared.scratch->RemoveFile(prepared.decoderLogName);
    }
}

void RemoveEmptyFolders(const std::vector<std::string> &folders)
{
    // Only an empty folder goes, so nothing put there meanwhile is lost.
    for (auto f = folders.rbegin(); f != folders.rend(); ++f) os::RemoveEmptyFolder(*f);
}

TConversionResult UpdateFileTags(const TWorkItem &item, const TOutputTarget &target, const TSourceAtStart &source,
                                 const TTagSwitches &tags, TTagAdditions additions,
                                 const std::function<void(const std::string &)> &noteTemporary)
{
    TConversionResult result;
    const std::string &outputPath = item.output;
    const std::string the = "the " + std::string(target.Noun()) + " ";
    const std::string temporary = target.TemporaryName();
    auto failed = [&](const std::string &why) {
        result.outcome = TConversionResult::Outcome::Failed;
        result.reason = why;
        return result;
    };
    const std::optional<TSourceMark> planned = ParseMark(item.mark);
    if (!planned) return failed("the tags could not be updated: the source's mark is not known");
    const os::TFileInfo before = os::Stat(outputPath, os::TFollow::NotLinks);
    if (before.kind == os::TKind::None) return failed(the + os::Native(outputPath) + " is gone");
    if (std::string why = WhyNotReplaceable(outputPath); !why.empty()) return failed(why);

    // The MP3 is read through one open that follows no link: its mark is checked and its
    // audio copied from the same file.
    TFileStream old;
    if (!old.Open(outputPath, TFileStream::Mode::Read, os::TFollow::NotLinks))
        return failed(the + os::Native(outputPath) + " cannot be opened: " + old.OpenError());
    const auto markText = target.MarkText(old);
    const auto mark = markText ? ParseMark(*markText) : std::nullopt;
    if (!mark || mark->path != planned->path)
        return failed(the + os::Native(outputPath) + " no longer carries the mark of this source");
    const auto audioBytes = target.AudioBytes(old);
    if (!audioBytes) return failed(the + os::Native(outputPath) + " holds no audio");
    const auto [begin, end] = *audioBytes;

    os::TOwnFolder work;
    if (const int err = work.Create(os::FolderOf(outputPath), kTemporaryPrefix); err != 0)
        return failed("cannot write in " + os::Native(os::FolderOf(outputPath)) + ": " + os::ErrorText(err));
    if (noteTemporary) noteTemporary(work.Path());
    auto discard = [&](const std::string &why) {
        work.Remove();
        return failed(why);
    };
    {
        os::TFile copy;
        if (!copy.Create(work, temporary))
            return discard("cannot write in " + os::Native(os::FolderOf(outputPath)) + ": " + os::ErrorText(copy.Error()));
        std::vector<std::uint8_t> chunk(1 << 20);
        for (std::int64_t at = begin; at < end;) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(end - at, std::int64_t(chunk.size())));
            if (!old.ReadAt(at, chunk.data(), n)) return discard(the + os::Native(outputPath) + " cannot be read");
            if (!copy.WriteAt(at - begin, chunk.data(), n))
                return discard("the tags could not be written: " + os::ErrorText(copy.Error()));
            at += static_cast<std::int64_t>(n);
        }
        if (const int err = copy.Close(); err != 0) return discard("the tags could not be written: " + os::ErrorText(err));
    }
    old.Close();

    additions.marker = MarkText({planned->path, source.info.size, source.info.modified});
    const std::string problem = [&]() -> std::string {
        TFileStream output;
        if (!output.Open(work, temporary, TFileStream::Mode::ReadWrite))
            return the + "cannot be opened: " + output.OpenError();
        if (!target.AudioSeconds(output)) return the + os::Native(outputPath) + " holds no audio";
        result.tags = target.WriteTags(source.stream, output, tags, additions);
        result.tags.sourceRead = source.read;
        return result.tags.error.empty() ? "" : "the tags could not be written: " + result.tags.error;
    }();
    if (!problem.empty()) return discard(problem);

    // Whatever changed meanwhile wins: the tags would be the wrong ones, or a change lost.
    const os::TFileInfo now = os::Stat(item.source);
    if (now.kind != source.info.kind || now.size != source.info.size || now.modified != source.info.modified)
        return discard("the source changed while the " + std::string(target.Noun()) + "'s tags were updated");
    const os::TFileInfo after = os::Stat(outputPath, os::TFollow::NotLinks);
    if (after.kind != before.kind || after.size != before.size || after.modified != before.modified)
        return discard(the + os::Native(outputPath) + " changed while its tags were updated");
    work.TakeModeOf(temporary, outputPath);
    if (const int err = work.MoveOut(temporary, outputPath, true); err != 0)
        return discard("cannot rename " + the + "to " + os::Native(outputPath) + ": " + os::ErrorText(err));
    work.Remove();
    result.ok = true;
    result.outcome = TConversionResult::Outcome::TagsUpdated;
    result.reason = result.tags.omitted;
    return result;
}

TCommandsOutput CommandsOutputOf(const TPreparedFile &prepared, int encoderStatus, const std::string &outputTail)
{
    TCommandsOutput commands;
    commands.encoderStatus = encoderStatus;
    commands.tail = outputTail;
    commands.encoderProgram = prepared.encoderProgram;
    if (prepared.scratch && !prepared.statusName.empty()) {
        if (const auto text = prepared.scratch->ReadFile(prepared.statusName)) {
            int value = 0;
            if (std::sscanf(text->c_str(), "%d", &value) == 1) commands.decoderStatus = value;
        }
        if (!prepared.decoderLogName.empty()) {
            // A decoder says little; this is far more than its banner and complaints.
            commands.decoderErrors =
                prepared.scratch->ReadFile(prepared.decoderLogName, kDecoderLogBytes).value_or("");
            prepared.scratch->RemoveFile(prepared.decoderLogName);
        }
        prepared.scratch->RemoveFile(prepared.scriptName);
        prepared.scratch->RemoveFile(prepared.statusName);
    }
    return commands;
}

TConversionResult FinishFile(const TWorkItem &item, const TPreparedFile &prepared, const TSourceAtStart &source,
                             int encoderStatus, const std::string &outputTail, const TStatusJudge &judge,
                             const TTagSwitches &tags, const TTagAdditions &additions, bool mayReplace)
{
    TConversionResult result;
    TCommandsOutput commands = CommandsOutputOf(prepared, encoderStatus, outputTail);
    if (!prepared.workFolder || !prepared.target) {
        result.reason = "no MP3 was written";
        return result;
    }
    const TOutputTarget &target = *prepared.target;
    const std::string noun(target.Noun());
    os::TOwnFolder &work = *prepared.workFolder;
    commands.encoded = work.Stat(prepared.tempOutput).size > 0;

    auto failed = [&](const std::string &why, TConversionResult::Outcome outcome = TConversionResult::Outcome::Failed) {
        work.Remove();
        result.ok = false;
        result.outcome = outcome;
        result.reason = why;
        return result;
    };
    const TCommandsEnd end = judge(commands);
    if (end.tryAgain) return failed(end.failure, TConversionResult::Outcome::TryAgain);
    if (!end.failure.empty()) {
        std::string why = end.failure;
        if (end.decoderFailed)
            if (std::string damage = HowFarDecoded(item.source, prepared, source); !damage.empty())
                why = std::move(damage);
        return failed(end.said.empty() ? why : why + "; " + end.said);
    }

    // A source changed meanwhile: the decoder may have read other data than was judged and
    // tagged, and the change would not reach the MP3. Failed, it stays for the next job.
    const os::TFileInfo now = os::Stat(item.source);
    if (now.kind == os::TKind::None) return failed("the source was removed while it was converted");
    if (now.kind != source.info.kind || now.size != source.info.size || now.modified != source.info.modified)
        return failed("the source changed while it was converted");

    const os::TFileInfo written = work.Stat(prepared.tempOutput);
    if (written.kind != os::TKind::File) return failed("no " + noun + " was written");
    if (written.size == 0) return failed("the " + noun + " is empty");
    // The walk and the tags through one open, closed before the MP3 is removed or renamed.
    const std::string problem = [&]() -> std::string {
        TFileStream output;
        if (!output.Open(work, prepared.tempOutput, TFileStream::Mode::ReadWrite))
            return "the " + noun + " cannot be opened: " + output.OpenError();
        if (std::string mismatch = target.CheckAudio(output, source); !mismatch.empty()) return mismatch;
        result.tags = target.WriteTags(source.stream, output, tags, additions);
        result.tags.sourceRead = source.read;
        return result.tags.error.empty() ? "" : "the tags could not be written: " + result.tags.error;
    }();
    if (!problem.empty()) return failed(problem);

    std::string why;
    if (!Place(work, prepared.tempOutput, item.output, mayReplace, target.Noun(), why))
        return failed(why, why.rfind(kAppeared, 0) == 0 ? TConversionResult::Outcome::Skipped
                                                        : TConversionResult::Outcome::Failed);
    work.Remove();
    result.ok = true;
    result.outcome = TConversionResult::Outcome::Converted;
    // Said beside what the plan said of the file (a renamed output), not instead of it.
    if (!result.tags.omitted.empty())
        result.reason = item.reason.empty() ? result.tags.omitted : item.reason + "; " + result.tags.omitted;
    return result;
}

}  // namespace trackmill
