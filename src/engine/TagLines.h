// The fields of each tag a file carries, as lines of text: what trackmill-cli info prints
// after the panel's lines and what the information panel shows below its own.
#pragma once

#include "engine/Wording.h"

#include <optional>
#include <string>
#include <vector>

namespace trackmill {

class TAPEtag;
class TID3v1;
class TID3v2;
class TMPEGplus;
struct TID3v2Frame;

// A frame as a person reads it: its description and its text, no text for binary contents.
struct TFrameView {
    std::string description;
    std::optional<std::string> text;
};
TFrameView ViewOf(const TID3v2Frame &frame);

// A blank line and a heading per tag present, then "   Name: value" lines: the common
// fields, then every other frame or item. The header's ReplayGain comes first when it
// has any. Texts are as read; a caller that prints to a terminal escapes them.
// A wording puts the names and headings in the user's language.
std::vector<std::string> TagFieldLines(const TMPEGplus &mpc, const TID3v1 &id3v1, const TAPEtag &ape,
                                       const Wording &say = {});

}  // namespace trackmill
