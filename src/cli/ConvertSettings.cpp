#include "cli/ConvertSettings.h"
#include "cli/Tr.h"
#include "cli/Usage.h"

#include "os/Conventions.h"
#include "os/Path.h"

#include "formats/TextUtil.h"
#include "system/Platform.h"

#include <QString>


namespace trackmill {

const char kConvertUsage[] = QT_TRANSLATE_NOOP(
    "Cli",
    "Usage: trackmill-cli convert [options] PATH...\n"
    "\n"
    "Converts the Musepack files among PATH (folders are searched) to MP3 with mpcdec and\n"
    "lame (or to Opus with opusenc), several at once, and carries their tags over. A file\n"
    "counts as converted only when its MP3 is whole, tagged and in place; nothing already\n"
    "there is replaced unless --existing overwrite says so. A line is printed as each file\n"
    "ends (a failed one with the last lines its programs printed), then the counts and\n"
    "each failure with its reason.\n"
    "\n"
    "Options (default: the window's stored settings, else the values named below):\n"
    "  --decoder-options TEXT   options for mpcdec, shell words as typed in a terminal\n"
    "  --encoder-options TEXT   options for lame, the same way (default: --alt-preset\n"
    "                           cbr 128), or for opusenc with --format opus (default:\n"
    "                           --bitrate 160); a line that would run or redirect commands\n"
    "                           (; | & < > # $( or a back quote outside quotes) is refused,\n"
    "                           and both lines are tried on a short silence first: what\n"
    "                           a program refuses ends the run before any file starts\n"
    "  --format mp3|opus        the files written: MP3 by lame (default) or Opus by\n"
    "                           opusenc\n"
    "  --output-dir DIR         write the MP3 files into DIR (else beside the sources)\n"
    "  --library-folder DIR     a source below DIR keeps its path below it in the output\n"
    "                           folder, however it was named (default: the music folder)\n"
    "  --layout source|tags|flat  with --output-dir: the sources' folders (default), names\n"
    "                           from the tags by --pattern, or all straight into DIR\n"
    "  --flat                   the same as --layout flat\n"
    "  --pattern TEXT           the names of --layout tags (default:\n"
    "                           %albumartist%/%album%/%track% %title%; also %artist%,\n"
    "                           %year%, %disc%, %genre%, %filename%); text in [ ] is\n"
    "                           left out when a field in it is empty\n"
    "                           (%albumartist%/[%year% - ]%album%/[%track% ]%title%),\n"
    "                           [[ and ]] are the brackets themselves; a source whose\n"
    "                           tags leave a folder empty keeps its own folders, and\n"
    "                           one whose tags leave the name empty its own name\n"
    "  --no-folder-art          do not copy a folder's cover image beside its MP3s\n"
    "  --no-embed-folder-art    do not embed it into MP3s whose source has no picture\n"
    "  --existing POLICY        an MP3 already at an output path: skip (default),\n"
    "                           overwrite, or keep-both (the new one gets a number);\n"
    "                           update-tags skips as skip does, but gives an MP3\n"
    "                           converted before its source last changed the\n"
    "                           source's present tags, its audio as it is\n"
    "  -j, --jobs N             files converted at once (default: the processor cores)\n"
    "  --no-id3v1               do not copy ID3v1 tags\n"
    "  --no-id3v2               do not copy ID3v2 tags\n"
    "  --no-ape                 do not convert APE tags\n"
    "  --ape-to id3v1|id3v2     the tag an APE tag becomes (default: id3v2)\n"
    "  --dry-run                print where each file would go, convert nothing\n"
    "  --json                   the job's events as JSON Lines on standard output\n"
    "  -v, --verbose            also name the settings file read, print each file's start\n"
    "                           and its programs' output, and every file in the summary\n"
    "  --help                   show this help\n"
    "\n"
    "Ctrl-C stops after the files in progress; a second Ctrl-C stops them too.\n"
    "Exit status: 0 every file converted or skipped, 1 a file failed or the job was\n"
    "cancelled, 2 usage error (options a program refused included).\n");

TJobSettings DesignedSettings()
{
    TJobSettings s;
    s.decoderOptions = platform::kDefaultDecoderOptions;
    s.encoderOptions = platform::kDefaultEncoderOptions;
    s.opusOptions = platform::kDefaultOpusOptions;
    s.format = config::kOutputFormat.defaultValue;
    s.useOutputDir = config::kUseOutputDir.defaultValue;
    s.outputDir = NormalizeFolderText(platform::DefaultOutputFolder());
    s.tags = {config::kCopyId3v1.defaultValue, config::kCopyId3v2.defaultValue, config::kConvertApe.defaultValue,
              config::kApeTarget.defaultValue};
    s.shutdownAfterJob = false;  // never from a terminal
    s.jobs = config::kJobs.defaultValue();
    s.existing = config::kExistingFiles.defaultValue;
    s.layout = config::kOutputLayout.defaultValue;
    s.libraryDir = platform::DefaultLibraryFolder();
    s.namePattern = config::kNamePattern.defaultValue;
    s.copyFolderArt = config::kCopyFolderArt.defaultValue;
    s.embedFolderArt = config::kEmbedFolderArt.defaultValue;
    return s;
}

void ApplyStoredSettings(TJobSettings &s, const config::TStoredSettings &stored)
{
    if (stored.convertApe) s.tags.convertApe = *stored.convertApe;
    if (stored.copyId3v1) s.tags.copyID3v1 = *stored.copyId3v1;
    if (stored.copyId3v2) s.tags.copyID3v2 = *stored.copyId3v2;
    if (stored.decoderOptions) s.decoderOptions = *stored.decoderOptions;
    if (stored.encoderOptions) s.encoderOptions = *stored.encoderOptions;
    if (stored.useOutputDir) s.useOutputDir = *stored.useOutputDir;
    if (stored.outputDir) s.outputDir = NormalizeFolderText(*stored.outputDir);
    if (stored.apeTarget) s.tags.apeTarget = *stored.apeTarget;
    if (stored.jobs) s.jobs = *stored.jobs;
    if (stored.existing) s.existing = *stored.existing;
    if (stored.layout) s.layout = *stored.layout;
    if (stored.libraryFolder) s.libraryDir = LibraryFolderText(*stored.libraryFolder);
    if (stored.namePattern) s.namePattern = *stored.namePattern;
    if (stored.copyFolderArt) s.copyFolderArt = *stored.copyFolderArt;
    if (stored.embedFolderArt) s.embedFolderArt = *stored.embedFolderArt;
    if (stored.format) s.format = *stored.format;
    if (stored.opusOptions) s.opusOptions = *stored.opusOptions;
}

std::string LibraryFolderText(const std::string &folder)
{
    return folder.empty() ? folder : NormalizeFolderText(folder);
}

std::string NormalizeFolderText(const std::string &folder)
{
    return os::WithSeparator(os::Portable(folder));
}

const std::vector<std::string_view> &ConvertOptionNames()
{
    static const std::vector<std::string_view> names = {
        "--decoder-options", "--encoder-options", "--format", "--output-dir", "--library-folder", "--layout",
        "--flat", "--pattern", "--no-folder-art", "--no-embed-folder-art", "--existing", "--jobs",
        "--no-id3v1", "--no-id3v2", "--no-ape", "--ape-to", "--dry-run", "--json", "--verbose", "--help"};
    return names;
}

bool ParseConvertOptions(const std::vector<std::string> &args, TConvertOptions &o, std::string *error,
                         std::string *guess)
{
    auto fail = [&](const std::string &message) {
        if (error) *error = message;
        return false;
    };
    bool optionsEnded = false;
    std::optional<std::string> encoderOptions;  // for the format chosen, wherever it is named
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            o.paths.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = a, value;
        bool hasValue = false;
        if (const std::size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            hasValue = true;
        } else if (a.size() > 2 && a.rfind("-j", 0) == 0) {
            name = "-j";
            value = a.substr(2);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= args.size()) return false;
            value = args[++i];  // taken as it stands, even when it starts with "-"
            return true;
        };
        auto noValue = [&]() { return !hasValue; };
        if ((name == "--help" || name == "-h") && noValue()) {
            o.help = true;
        } else if (name == "--decoder-options") {
            if (!takeValue()) return fail(Cli::Tr("--decoder-options needs a value"));
            o.settings.decoderOptions = value;
        } else if (name == "--encoder-options") {
            if (!takeValue()) return fail(Cli::Tr("--encoder-options needs a value"));
            encoderOptions = value;
        } else if (name == "--format") {
            if (!takeValue()) return fail(Cli::Tr("--format needs mp3 or opus"));
            const auto format = config::FromOptionName(config::kOutputFormat, value);
            if (!format) return fail(Formatted(Cli::Tr("--format takes mp3 or opus, not '%s'"), value.c_str()));
            o.settings.format = *format;
        } else if (name == "--output-dir") {
            if (!takeValue() || value.empty()) return fail(Cli::Tr("--output-dir needs a folder"));
            o.settings.useOutputDir = true;
            o.settings.outputDir = NormalizeFolderText(os::AbsolutePath(value));
        } else if (name == "--flat" && noValue()) {
            o.settings.layout = TOutputLayout::Flat;
        } else if (name == "--layout") {
            if (!takeValue()) return fail(Cli::Tr("--layout needs source, tags or flat"));
            const auto layout = config::FromOptionName(config::kOutputLayout, value);
            if (!layout)
                return fail(Formatted(Cli::Tr("--layout takes source, tags or flat, not '%s'"), value.c_str()));
            o.settings.layout = *layout;
        } else if (name == "--pattern") {
            if (!takeValue() || TrimBlanks(value).empty()) return fail(Cli::Tr("--pattern needs a pattern"));
            o.settings.namePattern = value;
        } else if (name == "--library-folder") {
            if (!takeValue()) return fail(Cli::Tr("--library-folder needs a folder"));
            o.settings.libraryDir = LibraryFolderText(value.empty() ? value : os::AbsolutePath(value));
        } else if (name == "--no-folder-art" && noValue()) {
            o.settings.copyFolderArt = false;
        } else if (name == "--no-embed-folder-art" && noValue()) {
            o.settings.embedFolderArt = false;
        } else if (name == "--existing") {
            if (!takeValue()) return fail(Cli::Tr("--existing needs skip, overwrite, keep-both or update-tags"));
            const auto existing = config::FromOptionName(config::kExistingFiles, value);
            if (!existing)
                return fail(Formatted(Cli::Tr("--existing takes skip, overwrite, keep-both or update-tags, not '%s'"),
                                      value.c_str()));
            o.settings.existing = *existing;
        } else if (name == "--jobs" || name == "-j") {
            if (!takeValue()) return fail(Formatted(Cli::Tr("%s needs a number"), name.c_str()));
            const auto jobs = config::ParseJobs(value);
            if (!jobs) return fail(Formatted(Cli::Tr("%s takes a whole number from 1 on, not '%s'"), name.c_str(), value.c_str()));
            if (*jobs == config::kMaxJobs && value != std::to_string(config::kMaxJobs))
                o.notes.push_back(Formatted(Cli::Tr("%s %s is more than %d; converting %d files at once"), name.c_str(),
                                            value.c_str(), config::kMaxJobs, config::kMaxJobs));
            o.settings.jobs = *jobs;
        } else if (name == "--no-id3v1" && noValue()) {
            o.settings.tags.copyID3v1 = false;
        } else if (name == "--no-id3v2" && noValue()) {
            o.settings.tags.copyID3v2 = false;
        } else if (name == "--no-ape" && noValue()) {
            o.settings.tags.convertApe = false;
        } else if (name == "--ape-to") {
            if (!takeValue()) return fail(Cli::Tr("--ape-to needs id3v1 or id3v2"));
            const auto target = config::FromOptionName(config::kApeTarget, value);
            if (!target) return fail(Formatted(Cli::Tr("--ape-to takes id3v1 or id3v2, not '%s'"), value.c_str()));
            o.settings.tags.apeTarget = *target;
        } else if (name == "--dry-run" && noValue()) {
            o.dryRun = true;
        } else if (name == "--json" && noValue()) {
            o.json = true;
        } else if ((name == "--verbose" || name == "-v") && noValue()) {
            o.verbose = true;
        } else {
            if (guess) *guess = ClosestWord(name, ConvertOptionNames());
            return fail(Formatted(Cli::Tr("unknown option '%s'"), a.c_str()));
        }
    }
    if (encoderOptions) (o.settings.format == TOutputFormat::Opus ? o.settings.opusOptions : o.settings.encoderOptions) = *encoderOptions;
    if (!o.help && o.paths.empty()) return fail(Cli::Tr("no PATH given"));
    return true;
}

}  // namespace trackmill
