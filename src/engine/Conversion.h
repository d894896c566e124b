// One file's conversion around the commands: what is set up before they run (the output
// folder, the MP3's temporary name, the private script) and what decides afterwards
// whether the file was converted (both programs' status, the MP3's playing time, the
// tags), and how the MP3 comes into place. Nothing that was not made here is ever changed.
#pragma once

#include "engine/Command.h"
#include "engine/OutputPlan.h"
#include "engine/OutputTarget.h"
#include "engine/TagTransfer.h"
#include "formats/MPEGAudio.h"
#include "formats/MPEGplus.h"
#include "os/Files.h"
#include "os/OwnFolder.h"
#include "os/PrivateFolder.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trackmill {

// The scripts and the decoders' status files live in a folder only this user can reach.
using TScratchFolder = os::TPrivateFolder;

// What a file's commands left behind for the platform to judge.
struct TCommandsOutput {
    std::optional<int> decoderStatus;  // as the script kept it; none when its shell never ran it
    int encoderStatus = 0;
    std::string tail;           // the end of what both programs printed, as the user saw it
    std::string decoderErrors;  // the end of the decoder's own error output, when the script kept it
    bool encoded = false;       // the MP3 holds anything at all
    std::string encoderProgram; // the encoder as the platform names it; empty: the MP3's
};

// How a file's commands ended, as the platform reads them.
struct TCommandsEnd {
    bool tryAgain = false;       // the programs could not be started for lack of processes
    std::string failure;         // empty when both programs succeeded
    bool decoderFailed = false;  // the decoder gave up: how far it got says more than its status
    std::string said;            // the failing program's last complaint ("mpcdec: ..."), or empty
};
using TStatusJudge = std::function<TCommandsEnd(const TCommandsOutput &)>;

struct TCommandLines {
    std::string shown;   // the template's line, as the user reads it
    std::string script;  // what runs: programs by absolute path, the decoder's status kept
};

// What the commands need, made before they start.
struct TPreparedFile {
    // Where the encoder writes: a folder of ours beside the output, and the file's name in
    // it. The commands run in that folder; everything after them reaches the file through it.
    std::unique_ptr<os::TOwnFolder> workFolder;
    std::string tempOutput;
    const TOutputTarget *target = nullptr;
    std::string encoderProgram;
    std::string scriptName;   // in the scratch folder
    std::string statusName;   // the decoder's exit status goes here, in the scratch folder
    std::string decoderLogName;  // and a copy of its error output
    TScratchFolder *scratch = nullptr;
    TCommandLines lines;
    std::vector<std::string> argv;  // the shell and the script
    std::vector<std::string> createdFolders;  // the output folders made for it, outermost first
};

struct TConversionSetup {
    std::string commandTemplate;  // shown
    std::string scriptTemplate;   // run
    std::string decoderPath;
    std::string encoderPath;
    std::string shell;            // absolute
    std::string decoderOptions;
    std::string encoderOptions;
    TOutputFormat format = TOutputFormat::Mp3;
    std::string encoderProgram;   // as the platform names it ("lame"), for its complaints
};

inline constexpr const char *kPlaceholderDecoder = "%DECODER";
inline constexpr const char *kPlaceholderEncoder = "%ENCODER";
inline constexpr const char *kPlaceholderStatusFile = "%STATUSFILE";
inline constexpr const char *kPlaceholderDecoderLog = "%DECODERLOG";

TCommandLines BuildCommandLines(const TConversionSetup &setup, const std::string &source,
                                const std::string &outputShown, const std::string &outputWritten,
                                const std::string &statusPath, const PathQuoter &quote,
                                const std::string &decoderLogPath = {});

// Creates the output's folder as needed, a folder of ours beside the output holding the
// MP3 under its temporary name (both exclusively, so nothing there is overwritten) and the
// script in the scratch folder.
// False with *error, leaving nothing behind but the folders it made (still listed in
// `prepared`), when any of it fails.
bool PrepareFile(const TWorkItem &item, const TConversionSetup &setup, const PathQuoter &quote,
                 TScratchFolder &scratch, TPreparedFile &prepared, std::string *error);

// Removes what PrepareFile made, the MP3 and the folder of ours it is in included, but not
// the output's folders: another file may be on its way into them.
void DiscardPrepared(const TPreparedFile &prepared);

// The output under its temporary name ("out.mp3", TOutputTarget::TemporaryName) is in a
// folder ".tm-XXXXXX" beside it. Other temporary files beside an output start with the
// prefix too.
inline constexpr const char *kTemporaryPrefix = ".tm-";

// Removes those of `folders` that are empty, innermost first; a folder with anything in
// it stays, and so do all folders above it.
void RemoveEmptyFolders(const std::vector<std::string> &folders);

struct TConversionResult {
    enum class Outcome {
        Converted,
        Failed,
        Skipped,   // a file appeared at the output meanwhile (another run): it is left alone
        TryAgain,  // the shell could not start the programs (the system is out of processes)
        TagsUpdated,  // an MP3 converted before got the source's present tags (UpdateFileTags)
    };
    Outcome outcome = Outcome::Failed;
    bool ok = false;      // Converted or TagsUpdated
    // For a failure or a skip, as a person reads it; for a converted file what the tags
    // could not carry (TTransferResult::omitted), or empty.
    std::string reason;
    TTransferResult tags;
};

// Judges a file whose commands have ended with the encoder's status: both programs'
// statuses as the platform's `judge` reads them (with the end of their output; a decoder
// that gave up part of the way is named as a damaged source, with how far it got), that the
// source is still the file `source` was read from (same size and modification time), the
// output's presence, that it holds audio at all, and its audio against the source's
// (TOutputTarget::CheckAudio), then the tags of `source` with our `additions`, written into
// the output under its temporary name; only then does it take the output's name (replacing
// a file there only when `mayReplace`, and only when the user may write it). A failure
// leaves no output behind. The script and status files are removed
// in every case. When the judge says the programs could not be started, the file asks to
// be tried again.
TConversionResult FinishFile(const TWorkItem &item, const TPreparedFile &prepared, const TSourceAtStart &source,
                             int encoderStatus, const std::string &outputTail, const TStatusJudge &judge,
                             const TTagSwitches &tags, const TTagAdditions &additions, bool mayReplace);

// Gives the MP3 at `item.output`, made from the source before it last changed, the tags a
// conversion would give it now: its audio (between its ID3v2 and ID3v1 tags) is copied as
// it is into a folder of ours beside it, the source's tags (`source`, read once) are
// written there by TransferTags with `additions`, and the copy then takes the MP3's place
// and permission bits. Tags the encoder's options once wrote are not told from the old
// ones and go with them. Refused, leaving the MP3 as it was, when it is no longer a regular
// file we may replace, no longer carries the mark of the source `item.mark` names, or
// holds no audio, or when it or the source changed meanwhile. The mark written is the
// source's with its size and time as `source` read them. `noteTemporary` hears of the
// folder made beside the MP3.
TConversionResult UpdateFileTags(const TWorkItem &item, const TOutputTarget &target, const TSourceAtStart &source,
                                 const TTagSwitches &tags, TTagAdditions additions,
                                 const std::function<void(const std::string &)> &noteTemporary = {});

// What a file's script kept of its commands (the decoder's status and error output), with
// the encoder's status and the end of what both printed; the script's own files go.
TCommandsOutput CommandsOutputOf(const TPreparedFile &prepared, int encoderStatus, const std::string &outputTail);

}  // namespace trackmill
