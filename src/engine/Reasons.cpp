#include "engine/Reasons.h"

#include <optional>
#include <string_view>
#include <vector>

namespace trackmill {

namespace {

// One reason's wording: its fixed words, with %1, %2 ... where the variable parts go, and
// for each of those what it holds: 'v' text kept as it is (a path, a number, a program's
// or the system's own words), 'r' a reason of its own (said in turn), 'l' reasons
// separated by ", ".
// A new reason gets its line here (and its translation in the catalogues, which the
// catalogue test asks for); a reason made of others needs only the lines of its parts.
struct TReasonPattern {
    const char *english;
    const char *kinds;
};

constexpr TReasonPattern kPatterns[] = {
    // Placing, checking and tagging the MP3.
    {Word("Reason", "exists: %1"), "v"},
    {Word("Reason", "cannot rename the MP3 to %1: %2"), "vv"},
    {Word("Reason", "the source was removed while it was converted"), ""},
    {Word("Reason", "the source changed while it was converted"), ""},
    {Word("Reason", "the source is damaged: %1"), "r"},
    {Word("Reason", "decoding stopped after %1 of %2 s"), "vv"},
    {Word("Reason", "the output folder %1 cannot be created: %2"), "vv"},
    {Word("Reason", "cannot write in %1: %2"), "vv"},
    {Word("Reason", "cannot write the script: %1"), "r"},
    {Word("Reason", "the MP3 lasts %1 s, the source %2 s"), "vv"},
    {Word("Reason", "the MP3 holds %1 of the source's %2 samples"), "vv"},
    {Word("Reason", "the MP3 holds %1 samples, the source %2"), "vv"},
    {Word("Reason", "the MP3 holds %1 samples; the source's %2 at %3 Hz make %4 at %5 Hz"), "vvvvv"},
    {Word("Reason", "no MP3 was written"), ""},
    {Word("Reason", "the MP3 is empty"), ""},
    {Word("Reason", "the MP3 cannot be opened: %1"), "r"},
    {Word("Reason", "no audio was decoded"), ""},
    {Word("Reason", "the tags could not be written: %1"), "r"},
    {Word("Reason", "%1 tag: %2"), "vr"},
    // The same of an Opus file.
    {Word("Reason", "cannot rename the Opus file to %1: %2"), "vv"},
    {Word("Reason", "the Opus file lasts %1 s, the source %2 s"), "vv"},
    {Word("Reason", "the Opus file holds %1 of the source's %2 samples"), "vv"},
    {Word("Reason", "the Opus file holds %1 samples, the source %2"), "vv"},
    {Word("Reason", "the Opus file holds %1 samples; the source's %2 at %3 Hz make %4 at %5 Hz"), "vvvvv"},
    {Word("Reason", "no Opus file was written"), ""},
    {Word("Reason", "the Opus file is empty"), ""},
    {Word("Reason", "the Opus file cannot be opened: %1"), "r"},
    {Word("Reason", "Opus comments: %1"), "v"},
    {Word("Reason", "an Opus file has no place for the ID3v2 frame %1: not carried"), "v"},
    {Word("Reason", "an Opus file has no place for the ID3v2 frames %1: not carried"), "v"},
    {Word("Reason", "an Opus file has no place for the APE item %1: not carried"), "v"},
    {Word("Reason", "an Opus file has no place for the APE items %1: not carried"), "v"},
    // What the programs' statuses and words say.
    {Word("Reason", "the shell could not run the command: %1"), "v"},
    {Word("Reason", "the pipe helper could not run the command: %1"), "v"},
    {Word("Reason", "cannot open the source: %1"), "v"},
    {Word("Reason", "the system could not start the programs"), ""},
    {Word("Reason", "the decoder stopped with exit status %1"), "v"},
    {Word("Reason", "the encoder stopped with exit status %1"), "v"},
    {Word("Reason", "%1 did not accept the encoder options: %2"), "vv"},
    {Word("Reason", "%1 did not accept the decoder options: %2"), "vv"},
    {Word("Reason", "The decoder options cannot be used: they hold %1. They are shell words, as typed in a "
                    "terminal, and may not run or redirect commands"), "r"},
    {Word("Reason", "The encoder options cannot be used: they hold %1. They are shell words, as typed in a "
                    "terminal, and may not run or redirect commands"), "r"},
    {Word("Reason", "a line break"), ""},
    {Word("Reason", "a quote that is not closed"), ""},
    {Word("Reason", "a back quote"), ""},
    {Word("Reason", "%1 outside quotes"), "v"},
    {Word("Reason", "%1 inside quotes"), "v"},
    // Starting a file.
    {Word("Reason", "the command could not be started: %1"), "r"},
    {Word("Reason", "the system has no processes to spare"), ""},
    {Word("Reason", "the source is gone"), ""},
    {Word("Reason", "the source is no longer a file"), ""},
    {Word("Reason", "stopped before it was finished"), ""},
    {Word("Reason", "not converted: the job was cancelled"), ""},
    {Word("Reason", "no program to start"), ""},
    {Word("Reason", "cannot start %1: %2"), "vv"},
    {Word("Reason", "program not found: %1"), "v"},
    {Word("Reason", "the working folder does not exist: %1"), "v"},
    {Word("Reason", "the command line has an unclosed quote"), ""},
    // The plan.
    {Word("Reason", "cannot replace %1: %2"), "vr"},
    {Word("Reason", "not a file"), ""},
    {Word("Reason", "already converted, before the source last changed: %1"), "v"},
    {Word("Reason", "already converted: %1"), "v"},
    {Word("Reason", "converted before the source last changed: its tags are updated"), ""},
    // Updating an MP3's tags.
    {Word("Reason", "the tags could not be updated: the source's mark is not known"), ""},
    {Word("Reason", "the MP3 %1 is gone"), "v"},
    {Word("Reason", "the MP3 %1 cannot be opened: %2"), "vv"},
    {Word("Reason", "the MP3 %1 no longer carries the mark of this source"), "v"},
    {Word("Reason", "the MP3 %1 holds no audio"), "v"},
    {Word("Reason", "the MP3 %1 cannot be read"), "v"},
    {Word("Reason", "the source changed while the MP3's tags were updated"), ""},
    {Word("Reason", "the MP3 %1 changed while its tags were updated"), "v"},
    {Word("Reason", "the Opus file %1 is gone"), "v"},
    {Word("Reason", "the Opus file %1 cannot be opened: %2"), "vv"},
    {Word("Reason", "the Opus file %1 no longer carries the mark of this source"), "v"},
    {Word("Reason", "the Opus file %1 holds no audio"), "v"},
    {Word("Reason", "the Opus file %1 cannot be read"), "v"},
    {Word("Reason", "the source changed while the Opus file's tags were updated"), ""},
    {Word("Reason", "the Opus file %1 changed while its tags were updated"), "v"},
    {Word("Reason", "the output %1 is the source %2"), "vv"},
    {Word("Reason", "the output %1 is this source itself"), "v"},
    {Word("Reason", "the output path is longer than the system allows"), ""},
    {Word("Reason", "replaces %1, converted before"), "v"},
    {Word("Reason", "replaces %1"), "v"},
    {Word("Reason", "renamed: %1 was made from another source"), "v"},
    {Word("Reason", "renamed: another source also makes %1"), "v"},
    {Word("Reason", "renamed: %1 exists"), "v"},
    // Folder art.
    {Word("Reason", "the folder image %1 was not copied: %2"), "vr"},
    {Word("Reason", "cannot read it: %1"), "v"},
    {Word("Reason", "it is not a JPEG or PNG image"), ""},
    {Word("Reason", "it exceeds the %1 limit for an image"), "v"},
    {Word("Reason", "it grew while it was copied: %1"), "v"},
    {Word("Reason", "cannot write %1: %2"), "vv"},
    {Word("Reason", "cannot rename it to %1: %2"), "vv"},
    {Word("Reason", "no free name beside %1"), "v"},
    // The collection.
    {Word("Reason", "not a regular file (a pipe, device or socket)"), ""},
    {Word("Reason", "a broken symbolic link"), ""},
    {Word("Reason", "no such file or folder"), ""},
    {Word("Reason", "not a Musepack file"), ""},
    {Word("Reason", "not a Musepack file (no valid stream header)"), ""},
    // The private folders.
    {Word("Reason", "no folder for the scripts is safe from other users (set XDG_RUNTIME_DIR or TMPDIR)"), ""},
    {Word("Reason", "no temporary folder of this user's was found (set TEMP)"), ""},
    {Word("Reason", "cannot make a folder for this user alone: %1"), "v"},
    {Word("Reason", "cannot create a private folder in %1: %2"), "vr"},
    {Word("Reason", "cannot use a private folder in %1: %2"), "vv"},
    {Word("Reason", "every name is taken"), ""},
    // Writing the tags into a file.
    {Word("Reason", "the file cannot be read or is shorter than 128 bytes"), ""},
    {Word("Reason", "no such file"), ""},
    {Word("Reason", "not a regular file"), ""},
    {Word("Reason", "the tag is too large for ID3v2"), ""},
    {Word("Reason", "the file is shorter than a tag header"), ""},
    {Word("Reason", "invalid offset"), ""},
    {Word("Reason", "invalid size"), ""},
    {Word("Reason", "the new content could not be made"), ""},
    {Word("Reason", "the new content could not be written"), ""},
    {Word("Reason", "the file is not open"), ""},
    {Word("Reason", "the file is not open for writing"), ""},
    {Word("Reason", "cannot create a temporary file beside it: %1"), "v"},
    {Word("Reason", "unknown error"), ""},
    // What a converted file's tags left out.
    {Word("Reason", "the cover picture"), ""},
    {Word("Reason", "the APE item \"%1\""), "v"},
    {Word("Reason", "the ID3v2 frame %1"), "v"},
    {Word("Reason", "%1 of %2 exceeds the %3 limit and was not carried"), "rvv"},
    {Word("Reason", "%1 of %2 lies past the %3 limit and was not carried"), "rvv"},
    {Word("Reason", "%1 of %2 exceeds the %3 limit for a text; its first %4 were carried"), "rvvv"},
    {Word("Reason", "the ID3v2 tag of %1 exceeds the %2 limit; the frames past it were not carried"), "vv"},
    {Word("Reason", "the APE items after it were not carried"), ""},
    {Word("Reason", "the APE items past the %1 limit were not carried"), "v"},
    {Word("Reason", "%1 APE texts exceed the %2 limit for a text; the first %3 of each were carried"), "vvv"},
    {Word("Reason", "%1 ID3v2 texts exceed the %2 limit for a text; the first %3 of each were carried"), "vvv"},
    {Word("Reason", "%1 APE items beyond the limit of %2 were not carried"), "vv"},
    {Word("Reason", "%1 ID3v2 frames beyond the limit of %2 were not carried"), "vv"},
    {Word("Reason", "the ID3v1.1 tag has no field for the APE item %1: not carried"), "r"},
    {Word("Reason", "the ID3v1.1 tag has no field for the APE items %1: not carried"), "l"},
    {Word("Reason", "%1 and %2 more"), "rv"},
    {Word("Reason", "\"%1\""), "v"},
};

constexpr std::string_view kJoin = "; ";
constexpr std::string_view kListJoin = ", ";
// Enough for any reason a job gives; text made to send the matching round in circles
// runs out of it and is shown as it is.
constexpr long kSteps = 200000;

struct TSegment {
    std::string_view literal;
    int placeholder = -1;  // 0 for %1
};

std::vector<TSegment> Segments(std::string_view pattern)
{
    std::vector<TSegment> segments;
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] != '%' || pattern[i + 1] < '1' || pattern[i + 1] > '9') continue;
        if (i > start) segments.push_back({pattern.substr(start, i - start)});
        segments.push_back({{}, pattern[i + 1] - '1'});
        start = i + 2;
        ++i;
    }
    if (start < pattern.size()) segments.push_back({pattern.substr(start)});
    return segments;
}

// The places where `text` splits at `separator`.
std::vector<std::size_t> Splits(std::string_view text, std::string_view separator)
{
    std::vector<std::size_t> at;
    for (std::size_t p = text.find(separator); p != std::string_view::npos; p = text.find(separator, p + 1))
        at.push_back(p);
    return at;
}

class TSpeaker {
public:
    explicit TSpeaker(const Wording &say) : say_(say)
    {
        for (const TReasonPattern &p : kPatterns) segments_.push_back(Segments(p.english));
    }

    // Several reasons joined by "; ", each as short as recognises it; a part none does
    // stays as it is. `known` is cleared when some part is not recognised.
    std::string Said(std::string_view text, bool *known = nullptr)
    {
        const std::vector<std::size_t> splits = Splits(text, kJoin);
        std::vector<std::size_t> starts{0}, ends;
        for (std::size_t s : splits) {
            ends.push_back(s);
            starts.push_back(s + kJoin.size());
        }
        ends.push_back(text.size());
        std::string out;
        for (std::size_t i = 0; i < starts.size();) {
            if (i > 0) out += kJoin;
            std::optional<std::string> said;
            std::size_t j = i;
            for (bool strict : {true, false}) {
                for (j = i; j < ends.size() && !said; ++j) said = One(text.substr(starts[i], ends[j] - starts[i]), strict);
                if (said) break;
            }
            if (said) {
                out += *said;
                i = j;
            } else {
                out += text.substr(starts[i], ends[i] - starts[i]);
                if (known) *known = false;
                ++i;
            }
        }
        return out;
    }

private:
    // One reason by the first pattern it fits; strictly, every reason within it must be
    // recognised too.
    std::optional<std::string> One(std::string_view text, bool strict)
    {
        for (std::size_t p = 0; p < segments_.size(); ++p) {
            if (--steps_ < 0) return std::nullopt;
            std::vector<std::string_view> values(std::string_view(kPatterns[p].kinds).size());
            if (!Match(p, 0, text, values, strict)) continue;
            std::vector<std::string> shown;
            for (std::size_t v = 0; v < values.size(); ++v) shown.push_back(Value(kPatterns[p].kinds[v], values[v]));
            const std::string english = trackmill::Said(say_, kPatterns[p].english);
            // Up to nine values: as many as FillIn takes.
            shown.resize(9);
            return FillIn(english, {shown[0], shown[1], shown[2], shown[3], shown[4], shown[5], shown[6], shown[7],
                                    shown[8]});
        }
        return std::nullopt;
    }

    std::string Value(char kind, std::string_view value)
    {
        if (kind == 'r') return Said(value);
        if (kind != 'l') return std::string(value);
        std::string out;
        std::size_t start = 0;
        for (std::size_t at : Splits(value, kListJoin)) {
            out += Said(value.substr(start, at - start));
            out += kListJoin;
            start = at + kListJoin.size();
        }
        return out + Said(value.substr(start));
    }

    bool Accepts(char kind, std::string_view value, bool strict)
    {
        if (value.empty()) return false;
        if (!strict || kind == 'v') return true;
        bool known = true;
        if (kind == 'r') {
            Said(value, &known);
        } else {
            std::size_t start = 0;
            for (std::size_t at : Splits(value, kListJoin)) {
                Said(value.substr(start, at - start), &known);
                start = at + kListJoin.size();
            }
            Said(value.substr(start), &known);
        }
        return known;
    }

    bool Match(std::size_t pattern, std::size_t segment, std::string_view text, std::vector<std::string_view> &values,
               bool strict)
    {
        const std::vector<TSegment> &segments = segments_[pattern];
        if (segment == segments.size()) return text.empty();
        const TSegment &s = segments[segment];
        if (s.placeholder < 0) {
            return text.substr(0, s.literal.size()) == s.literal &&
                   Match(pattern, segment + 1, text.substr(s.literal.size()), values, strict);
        }
        const std::size_t index = static_cast<std::size_t>(s.placeholder);
        if (index >= values.size()) return false;
        const char kind = kPatterns[pattern].kinds[index];
        if (segment + 1 == segments.size()) {
            values[index] = text;
            return Accepts(kind, text, strict);
        }
        const std::string_view next = segments[segment + 1].literal;
        for (std::size_t at = text.find(next, 1); at != std::string_view::npos; at = text.find(next, at + 1)) {
            if (--steps_ < 0) return false;
            values[index] = text.substr(0, at);
            if (Accepts(kind, values[index], strict) && Match(pattern, segment + 1, text.substr(at), values, strict))
                return true;
        }
        return false;
    }

    const Wording &say_;
    std::vector<std::vector<TSegment>> segments_;
    long steps_ = kSteps;
};

}  // namespace

std::string ReasonSaid(const std::string &reason, const Wording &say)
{
    if (reason.empty()) return reason;
    return TSpeaker(say).Said(reason);
}

}  // namespace trackmill
