#include "system/JobPlatform.h"

#include "system/Platform.h"

namespace trackmill::platform {

TJobPlatform JobPlatform()
{
    TJobPlatform p;
    p.commandTemplate = kCommandTemplate;
    p.quotePath = [](const std::string &path) { return ShellQuote(path); };
    p.scriptPath = kScriptName;
    p.runApplication = kScriptApplicationName;
    p.runCommandLine = kScriptCommandLine;
    // Checked in this order, so the encoder's message comes first.
    p.requiredPrograms = {{kEncoderProgram, kEncoderMissingMessage},
                          {kDecoderProgram, kDecoderMissingMessage}};
    return p;
}

}  // namespace trackmill::platform
