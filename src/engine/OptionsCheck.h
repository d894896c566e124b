// The option lines tried once before a job's first file: a short silence goes through the
// very script a file's commands run in, so that options a program refuses stop the job
// once, with that program's complaint, instead of failing every file the same way.
#pragma once

#include "engine/Conversion.h"

#include <cstdint>
#include <string>

namespace trackmill {

// The runner's id of the check's command: the queue's ids count up from 1, and the window's
// runner keeps the top half of the range for commands of its own.
inline constexpr std::uint64_t kOptionsCheckId = 0;

// A Musepack stream of version 7 (which old decoders read as well as today's) holding four
// frames of stereo silence at 44,100 Hz: 4,127 samples, 44 bytes.
std::string SilentMusepack();

// Writes the silence into the scratch folder and prepares its commands as a file's, its
// MP3 in a folder of ours beside the scratch folder: nothing is made among the user's
// files. False with *error, leaving nothing behind, when any of it cannot be made.
bool PrepareOptionsCheck(const TConversionSetup &setup, const PathQuoter &quote, TScratchFolder &scratch,
                         TPreparedFile &prepared, std::string *error);

// After the check's commands ended with the encoder's status: why the programs refused the
// option lines, in the words a failed file gets, or empty when they took them (also when
// the system could not start them: that says nothing of the options). Removes all the
// check made.
std::string FinishOptionsCheck(const TPreparedFile &prepared, int encoderStatus, const std::string &outputTail,
                               const TStatusJudge &judge);

// Removes all the check made, for a check that was stopped.
void DiscardOptionsCheck(const TPreparedFile &prepared);

}  // namespace trackmill
