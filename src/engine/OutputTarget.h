// What differs between the formats Trackmill writes: the file's extension, how its audio
// is followed while it grows and checked against the source once written, and how the
// source's tags and our mark go into it and come back out. The plan, the library's marks,
// the verification and the tag transfer are written against this.
#pragma once

#include "engine/TagTransfer.h"
#include "formats/MPEGplus.h"
#include "formats/Stream.h"
#include "os/Files.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace trackmill {

enum class TOutputFormat { Mp3, Opus };

// The source as it was when its file started, read through one open: the output is judged
// and tagged by this, not by whatever the path holds when the commands end.
struct TSourceAtStart {
    os::TFileInfo info;   // what Stat said just before it was read
    bool read = false;    // the header could be read (it may still be invalid)
    TMPEGplus stream;     // header and the three tags

    // Reads the stream header and the tags of `path`, found by `info` to be a file.
    void Load(const std::string &path, const os::TFileInfo &fileInfo);
    // Seconds of audio, 0 when the source gave none.
    double PlayingTime() const { return read && stream.Valid() ? stream.Duration() : 0.0; }
    // The samples a decoder gives, where the header says.
    std::optional<std::uint64_t> Samples() const
    {
        return read && stream.Valid() ? stream.SampleCount() : std::nullopt;
    }
};

// Follows a file while its encoder writes it; each call reads only what was added.
class TAudioProgress {
public:
    virtual ~TAudioProgress() = default;
    virtual void Advance(TStream &file) = 0;
    virtual double Seconds() const = 0;
};

class TOutputTarget {
public:
    virtual ~TOutputTarget() = default;
    virtual TOutputFormat Format() const = 0;
    // ".mp3": what every output of this format ends with.
    virtual std::string_view Extension() const = 0;
    // How a reason names the file: "the MP3 lasts ...".
    virtual std::string_view Noun() const = 0;

    // A file name ending in the extension, in any letter case.
    bool Names(std::string_view fileName) const;
    // The name the encoder writes in its work folder: plain, so that no program must read
    // a name in another code page.
    std::string TemporaryName() const { return "out" + std::string(Extension()); }

    virtual std::unique_ptr<TAudioProgress> Progress() const = 0;
    // Why the written file does not hold the source's audio, as a person reads it; empty
    // when it holds all of it.
    virtual std::string CheckAudio(TStream &written, const TSourceAtStart &source) const = 0;
    // Seconds of audio the file holds; none when it holds none.
    virtual std::optional<double> AudioSeconds(TStream &written) const = 0;
    // The part of a file that is neither tags nor the mark: [first, second). None when
    // the file holds no audio.
    virtual std::optional<std::pair<std::int64_t, std::int64_t>> AudioBytes(TStream &file) const = 0;

    // Whether the switches give every file the mark of its source (and folder art).
    virtual bool CarriesMark(const TTagSwitches &switches) const = 0;
    virtual TTransferResult WriteTags(const TMPEGplus &source, TStream &output, const TTagSwitches &switches,
                                      const TTagAdditions &additions) const = 0;
    // The text of the mark the file carries; none when it has none or cannot be read.
    virtual std::optional<std::string> MarkText(TStream &file) const = 0;
};

const TOutputTarget &OutputTarget(TOutputFormat format);

// "the MP3 lasts 6.3 s, the source 10.0 s", or empty when the two agree.
std::string CompareDurations(double outputSeconds, double sourceSeconds, std::string_view noun = "MP3");

}  // namespace trackmill
