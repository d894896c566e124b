// The job's view of this platform: which programs, which script, how paths are quoted.
#pragma once

#include "engine/TranscodeJob.h"

namespace trackmill::platform {

// Filled from the constants of Platform.h; the window and trackmill-cli both run the job
// with it. The programs are looked up beside our executable, then on PATH.
TJobPlatform JobPlatform(const std::string &executableFolder, int pauseBetweenFilesMs);

// Why an option line cannot go into the script, or empty when it can. The lines are shell
// words, as typed in a terminal (quotes, variables); what would end the command, start
// another or redirect it is refused: a line break, and, outside single quotes, a back
// quote or "$(", and, outside any quotes, "#", ";", "|", "&", "<" or ">"; and a quote left open.
std::string ShellWordsProblem(const std::string &line);
// The same for Windows, where each program reads its own command line and no shell is
// involved: only a line break and a quote left open are refused.
std::string WindowsWordsProblem(const std::string &line);

// What the exit statuses of a script's two programs mean: the decoder's as the script
// kept it (nothing when its shell never ran it), the encoder's as the shell ended, the end
// of what was printed (where the shell says why it ran nothing) and the decoder's own error
// output. A failing program's last complaint is quoted; an encoder that quit at once over
// an option names the option's problem instead of its status.
TCommandsEnd JudgeShellStatuses(const TCommandsOutput &commands);

// The same for the options check's silence, where the source is known to be good: also a
// decoder that went on after complaining about an option refused the decoder options.
TCommandsEnd JudgeOptionsCheck(const TCommandsOutput &commands);

}  // namespace trackmill::platform
