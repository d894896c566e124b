#include "system/JobPlatform.h"

#include "system/Platform.h"

namespace trackmill::platform {

TJobPlatform JobPlatform(const std::string &executableFolder, int pauseBetweenFilesMs)
{
    TJobPlatform p;
    p.commandTemplate = kCommandTemplate;
    p.scriptTemplate = kScriptTemplate;
    p.quotePath = [](const std::string &path) { return ShellQuote(path); };
    p.shell = kShell;
    p.encoder = {kEncoderProgram, kEncoderMissingMessage};
    p.decoder = {kDecoderProgram, kDecoderMissingMessage};
    p.findProgram = [executableFolder](const std::string &name) { return FindProgram(name, executableFolder); };
    p.pauseBetweenFilesMs = pauseBetweenFilesMs;
    p.judgeStatuses = JudgeShellStatuses;
    return p;
}

TCommandsEnd JudgeShellStatuses(std::optional<int> decoderStatus, int encoderStatus)
{
    // A decoder ended by the encoder going away (SIGPIPE: 141) is the encoder's fault.
    constexpr int kBrokenPipe = 128 + 13;
    constexpr int kShellError = 2;
    // The decoder's status is missing only when its shell could not run it (or was killed);
    // a shell that could not start the encoder ends with 2 while the decoder lost its reader.
    if (!decoderStatus || (encoderStatus == kShellError && *decoderStatus == kBrokenPipe))
        return {true, "the system could not start the programs"};
    if (*decoderStatus != 0 && *decoderStatus != kBrokenPipe)
        return {false, "the decoder stopped with exit status " + std::to_string(*decoderStatus)};
    if (encoderStatus != 0) return {false, "the encoder stopped with exit status " + std::to_string(encoderStatus)};
    if (*decoderStatus == kBrokenPipe) return {false, "the decoder stopped with exit status 141"};
    return {};
}

}  // namespace trackmill::platform
