// The job's view of this platform: which programs, which script, how paths are quoted.
#pragma once

#include "engine/TranscodeJob.h"

namespace trackmill::platform {

// Filled from the constants of Platform.h; the window and trackmill-cli both run the job
// with it. The programs are looked up beside our executable, then on PATH.
TJobPlatform JobPlatform(const std::string &executableFolder, int pauseBetweenFilesMs);

// What the exit statuses of a script's two programs mean: the decoder's as the script
// kept it (nothing when its shell never ran it), the encoder's as the shell ended.
TCommandsEnd JudgeShellStatuses(std::optional<int> decoderStatus, int encoderStatus);

}  // namespace trackmill::platform
