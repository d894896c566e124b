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
    return p;
}

}  // namespace trackmill::platform
