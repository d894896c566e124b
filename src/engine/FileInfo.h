// The lines of the file information panel, as texts, so that the window and
// trackmill-cli show exactly the same facts.
#pragma once

#include "engine/Wording.h"

#include <functional>
#include <string>
#include <vector>

namespace trackmill {

class TMPEGplus;
struct TMp3Facts;
class TOggOpus;

// Formats a whole number (already rounded) with the user's thousands separator.
using NumberFormatter = std::function<std::string(double)>;

// Plain digits grouped by three with the given separator: 12345 -> "12,345".
std::string FormatGrouped(double wholeNumber, const std::string &separator = ",");
// Tenths, with a dot: 6.25 -> "6.2"; a short file would read "0".
std::string OneDecimal(double value);

// The 17 panel lines for a loaded reader, or none when its header is not valid; a stream
// found cut short (TMPEGplus::CheckStreamEnd) gets one more, below its duration.
// Without a formatter, numbers are grouped with ",".
// A wording puts the panel's own words in the user's language.
std::vector<std::string> FileInfoLines(const TMPEGplus &mpc, const std::string &path,
                                       const NumberFormatter &format = {}, const Wording &say = {});

// The lines that say what an MPEG audio (MP3) file's frames hold, in the panel's manner;
// none when no MPEG audio was found.
std::vector<std::string> Mp3InfoLines(const TMp3Facts &mp3, const std::string &path,
                                      const NumberFormatter &format = {}, const Wording &say = {});

// The same for an Ogg Opus file (read with its comments): its stream, then its comments,
// a picture by its type, MIME type and size; none when it is not valid.
std::vector<std::string> OpusInfoLines(const TOggOpus &opus, const std::string &path,
                                       const NumberFormatter &format = {}, const Wording &say = {});

// Reads a file's header, tags and stream end, as the panel shows them. Without `walk` the
// stream, which means the whole file, is not walked for its end. `stopped` is asked as the
// walk reads: true gives it up, and the reader is left cleared.
void LoadForPanel(TMPEGplus &mpc, const std::string &path, bool walk = true,
                  const std::function<bool()> &stopped = {});

// Loads the file with a fresh reader and returns its panel lines (none when the file
// can't be read or holds no valid header).
std::vector<std::string> FileInfoLinesOf(const std::string &path, const NumberFormatter &format = {});

// The panel's lines followed by the fields of each tag the file carries; none when the
// file holds no valid header.
std::vector<std::string> PanelLinesOf(const std::string &path, const NumberFormatter &format = {},
                                      const Wording &say = {});
// The same for a reader already loaded.
std::vector<std::string> PanelLines(const TMPEGplus &mpc, const std::string &path, const NumberFormatter &format = {},
                                    const Wording &say = {});

}  // namespace trackmill
