// Whether a candidate file may join the transcode list.
#pragma once

#include <string>

namespace trackmill {

// The extension (from the last "." that no "/" follows) is ".mpc", ".mpp" or ".mp+",
// in any letter case.
bool HasMusepackFileExtension(const std::string &name);

// A regular file whose stream header is a valid Musepack header.
bool HasValidMusepackHeader(const std::string &path);

// Both tests, the cheap one first.
bool IsAcceptableMusepackFile(const std::string &path);

}  // namespace trackmill
