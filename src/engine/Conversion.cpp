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

std::string Seconds(double s)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", s);
    return buf;
}

constexpr const char *kAppeared = "exists: ";
constexpr std::size_t kDecoderLogBytes = 256 * 1024;

// Puts the MP3 (`name` in `folder`) at its output name. Without `mayReplace` an existing
// file is never replaced, even one that appeared since the plan was made (reason
// "exists: ..."). A replaced file's permission bits go to the new one.
bool Place(os::TOwnFolder &folder, const std::string &name, const std::string &output, bool mayReplace,
           std::string &reason)
{
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
            reason = "cannot rename the MP3 to " + os::Native(output) + ": " + os::ErrorText(err);
            return false;
        }
        return true;
    }
    // Never over a file that appears at the last moment.
    const int err = folder.MoveOut(name, output, false);
    if (err == 0) return true;
    reason = err == EEXIST ? kAppeared + os::Native(output) : "cannot rename the MP3 to " + os::Native(output) + ": " + os::ErrorText(err);
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
    TFileStream mp3;
    TMp3FrameWalker audio;
    if (!mp3.Open(*prepared.workFolder, prepared.tempMp3) || !audio.Advance(mp3) || !audio.HasAudio()) return {};
    const double decoded = audio.Seconds();
    if (CompareDurations(decoded, sourceSeconds).empty()) return {};
    return "the source is damaged: decoding stopped after " + Seconds(std::min(decoded, sourceSeconds)) + " of " +
           Seconds(sourceSeconds) + " s";
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
    os::TFile temp;
    if (!temp.Create(*prepared.workFolder, kTemporaryMp3))
        return fail("cannot write in " + os::Native(folder) + ": " + os::ErrorText(temp.Error()));
    temp.Close();
    prepared.tempMp3 = kTemporaryMp3;

    const std::string stem = std::to_string(item.id);
    prepared.statusName = stem + ".status";
    prepared.decoderLogName = stem + ".decoder";
    scratch.RemoveFile(prepared.statusName);
    scratch.RemoveFile(prepared.decoderLogName);
    prepared.lines = BuildCommandLines(setup, item.source, item.output, prepared.tempMp3,
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

TConversionResult UpdateFileTags(const TWorkItem &item, const TSourceAtStart &source, const TTagSwitches &tags,
                                 TTagAdditions additions, const std::function<void(const std::string &)> &noteTemporary)
{
    TConversionResult result;
    const std::string &mp3Path = item.output;
    auto failed = [&](const std::string &why) {
        result.outcome = TConversionResult::Outcome::Failed;
        result.reason = why;
        return result;
    };
    const std::optional<TSourceMark> planned = ParseMark(item.mark);
    if (!planned) return failed("the tags could not be updated: the source's mark is not known");
    const os::TFileInfo before = os::Stat(mp3Path, os::TFollow::NotLinks);
    if (before.kind == os::TKind::None) return failed("the MP3 " + os::Native(mp3Path) + " is gone");
    if (std::string why = WhyNotReplaceable(mp3Path); !why.empty()) return failed(why);

    // The MP3 is read through one open that follows no link: its mark is checked and its
    // audio copied from the same file.
    TFileStream old;
    if (!old.Open(mp3Path, TFileStream::Mode::Read, os::TFollow::NotLinks))
        return failed("the MP3 " + os::Native(mp3Path) + " cannot be opened: " + old.OpenError());
    const auto markText = id3v2::FindUserText(old, kMarkerDescription);
    const auto mark = markText ? ParseMark(*markText) : std::nullopt;
    if (!mark || mark->path != planned->path)
        return failed("the MP3 " + os::Native(mp3Path) + " no longer carries the mark of this source");
    TID3v2 v2;
    TID3v1 v1;
    v2.LoadHeaderFromStream(old);
    v1.LoadFromStream(old);
    const std::int64_t begin = v2.Present() ? v2.TagSize() : 0;
    const std::int64_t end = old.Size() - (v1.Present() ? std::int64_t(TID3v1::kTagSize) : 0);
    if (end <= begin) return failed("the MP3 " + os::Native(mp3Path) + " holds no audio");

    os::TOwnFolder work;
    if (const int err = work.Create(os::FolderOf(mp3Path), kTemporaryPrefix); err != 0)
        return failed("cannot write in " + os::Native(os::FolderOf(mp3Path)) + ": " + os::ErrorText(err));
    if (noteTemporary) noteTemporary(work.Path());
    auto discard = [&](const std::string &why) {
        work.Remove();
        return failed(why);
    };
    {
        os::TFile copy;
        if (!copy.Create(work, kTemporaryMp3))
            return discard("cannot write in " + os::Native(os::FolderOf(mp3Path)) + ": " + os::ErrorText(copy.Error()));
        std::vector<std::uint8_t> chunk(1 << 20);
        for (std::int64_t at = begin; at < end;) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(end - at, std::int64_t(chunk.size())));
            if (!old.ReadAt(at, chunk.data(), n)) return discard("the MP3 " + os::Native(mp3Path) + " cannot be read");
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
        if (!output.Open(work, kTemporaryMp3, TFileStream::Mode::ReadWrite))
            return "the MP3 cannot be opened: " + output.OpenError();
        TMp3FrameWalker audio;
        audio.Advance(output);
        if (!audio.HasAudio()) return "the MP3 " + os::Native(mp3Path) + " holds no audio";
        result.tags = TransferTags(source.stream, output, tags, additions);
        result.tags.sourceRead = source.read;
        return result.tags.error.empty() ? "" : "the tags could not be written: " + result.tags.error;
    }();
    if (!problem.empty()) return discard(problem);

    // Whatever changed meanwhile wins: the tags would be the wrong ones, or a change lost.
    const os::TFileInfo now = os::Stat(item.source);
    if (now.kind != source.info.kind || now.size != source.info.size || now.modified != source.info.modified)
        return discard("the source changed while the MP3's tags were updated");
    const os::TFileInfo after = os::Stat(mp3Path, os::TFollow::NotLinks);
    if (after.kind != before.kind || after.size != before.size || after.modified != before.modified)
        return discard("the MP3 " + os::Native(mp3Path) + " changed while its tags were updated");
    work.TakeModeOf(kTemporaryMp3, mp3Path);
    if (const int err = work.MoveOut(kTemporaryMp3, mp3Path, true); err != 0)
        return discard("cannot rename the MP3 to " + os::Native(mp3Path) + ": " + os::ErrorText(err));
    work.Remove();
    result.ok = true;
    result.outcome = TConversionResult::Outcome::TagsUpdated;
    result.reason = result.tags.omitted;
    return result;
}

std::string CompareDurations(double mp3Seconds, double sourceSeconds)
{
    if (sourceSeconds <= 0) return {};
    if (std::fabs(mp3Seconds - sourceSeconds) <= 0.2 + 0.01 * sourceSeconds) return {};
    return "the MP3 lasts " + Seconds(mp3Seconds) + " s, the source " + Seconds(sourceSeconds) + " s";
}

std::string CompareAudio(const TMp3FrameWalker &mp3, const TSourceAtStart &source)
{
    const std::optional<std::int64_t> held = mp3.ExactSamples();
    const std::optional<std::uint64_t> samples = source.Samples();
    const std::uint32_t sourceRate = source.stream.SampleRate();
    if (!held || !samples || mp3.SampleRate() == 0 || sourceRate == 0)
        return CompareDurations(mp3.Seconds(), source.PlayingTime());
    // lame picks a lower rate by itself for low bit rates: the MP3's own rate counts. Its
    // resampler gives no fewer than 8 samples, however few went in.
    constexpr double kLeastResampled = 8;
    double expected = static_cast<double>(*samples) * mp3.SampleRate() / sourceRate;
    if (mp3.SampleRate() != sourceRate && *samples > 0) expected = std::max(expected, kLeastResampled);
    const double tolerance = mp3.SampleRate() == sourceRate ? 0.0 : 1.0;
    if (std::fabs(static_cast<double>(*held) - expected) <= tolerance) return {};
    const std::string has = FormatGrouped(static_cast<double>(*held));
    const std::string of = FormatGrouped(static_cast<double>(*samples));
    const bool shorter = static_cast<double>(*held) < expected;
    if (mp3.SampleRate() == sourceRate)
        return shorter ? "the source is damaged: the MP3 holds " + has + " of the source's " + of + " samples"
                       : "the MP3 holds " + has + " samples, the source " + of;
    const std::string made = " at " + std::to_string(sourceRate) + " Hz make " + FormatGrouped(std::round(expected)) +
                             " at " + std::to_string(mp3.SampleRate()) + " Hz";
    return (shorter ? "the source is damaged: " : "") + std::string("the MP3 holds ") + has + " samples; the source's " +
           of + made;
}

void TSourceAtStart::Load(const std::string &path, const os::TFileInfo &fileInfo)
{
    info = fileInfo;
    read = stream.LoadFromFile(path);
}

TCommandsOutput CommandsOutputOf(const TPreparedFile &prepared, int encoderStatus, const std::string &outputTail)
{
    TCommandsOutput commands;
    commands.encoderStatus = encoderStatus;
    commands.tail = outputTail;
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
    if (!prepared.workFolder) {
        result.reason = "no MP3 was written";
        return result;
    }
    os::TOwnFolder &work = *prepared.workFolder;
    commands.encoded = work.Stat(prepared.tempMp3).size > 0;

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

    const os::TFileInfo mp3 = work.Stat(prepared.tempMp3);
    if (mp3.kind != os::TKind::File) return failed("no MP3 was written");
    if (mp3.size == 0) return failed("the MP3 is empty");
    // The walk and the tags through one open, closed before the MP3 is removed or renamed.
    const std::string problem = [&]() -> std::string {
        TFileStream output;
        if (!output.Open(work, prepared.tempMp3, TFileStream::Mode::ReadWrite))
            return "the MP3 cannot be opened: " + output.OpenError();
        TMp3FrameWalker audio;
        audio.Advance(output);
        // Whatever the header promised: an MP3 whose frames hold nothing beyond the
        // encoder's own delay and padding has no audio.
        if (!audio.HasAudio()) return "no audio was decoded";
        if (std::string mismatch = CompareAudio(audio, source); !mismatch.empty())
            return mismatch;
        result.tags = TransferTags(source.stream, output, tags, additions);
        result.tags.sourceRead = source.read;
        return result.tags.error.empty() ? "" : "the tags could not be written: " + result.tags.error;
    }();
    if (!problem.empty()) return failed(problem);

    std::string why;
    if (!Place(work, prepared.tempMp3, item.output, mayReplace, why))
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
