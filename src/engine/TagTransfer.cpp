#include "engine/TagTransfer.h"

#include "engine/TagTransferMap.h"
#include "formats/ID3v1.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Read.h"
#include "formats/MPEGplus.h"
#include "formats/TextUtil.h"

#include <algorithm>
#include <optional>

namespace trackmill {

namespace {

constexpr std::size_t kApeTextLimit = 255;

TID3v1 Id3v1FromApe(const TAPEtag &ape)
{
    TID3v1 target;
    target.SetTitle(FirstChars(ape.Title(), kApeTextLimit));
    target.SetArtist(FirstChars(ape.Artist(), kApeTextLimit));
    target.SetAlbum(FirstChars(ape.Album(), kApeTextLimit));
    target.SetYear(FirstChars(ape.Year(), kApeTextLimit));
    target.SetComment(FirstChars(ape.Comment(), kApeTextLimit));
    // A track the byte cannot hold is left out rather than written as another number.
    const std::uint16_t track = ape.Track();
    target.SetTrack(track <= 255 ? static_cast<std::uint8_t>(track) : 0);
    target.SetGenreIndex(GenreIndexOf(ape.Genre()));
    return target;
}

// The source's mark replaces one a source may have carried over from elsewhere; the
// folder's picture goes in only where no picture came with the tags.
void AddOurFrames(std::vector<TID3v2Frame> &frames, const TTagAdditions &additions)
{
    if (!additions.marker.empty()) {
        std::erase_if(frames, [](const TID3v2Frame &f) {
            const auto described = f.id == "TXXX" ? id3v2::ReadDescribed(f) : std::nullopt;
            return described && EqualsAsciiNoCase(described->description, kMarkerDescription);
        });
        frames.insert(frames.begin(), id3v2::MakeUserText(kMarkerDescription, additions.marker));
    }
    if (!additions.folderArt.empty() &&
        std::none_of(frames.begin(), frames.end(), [](const TID3v2Frame &f) { return f.id == "APIC"; })) {
        id3v2::TPicture picture;
        picture.mime = additions.folderArtMime;
        picture.type = 3;  // the front cover
        picture.bytes.assign(additions.folderArt.begin(), additions.folderArt.end());
        frames.push_back(id3v2::MakePicture(picture));
    }
}

// Players that find an ID3v2 tag read nothing else: whatever the ID3v1 tag beside it
// holds must be in it too.
void AddId3v1Fields(std::vector<TID3v2Frame> &frames, const TID3v1 &v1)
{
    auto has = [&](std::string_view id) {
        return std::any_of(frames.begin(), frames.end(), [&](const TID3v2Frame &f) {
            if (f.id != id) return false;
            if (f.id != "COMM") return !id3v2::Text(f).empty();
            const auto d = id3v2::ReadDescribed(f);
            return d && d->description.empty() && !d->text.empty();
        });
    };
    auto add = [&](std::string_view id, const std::string &text) {
        if (!text.empty() && !has(id)) frames.push_back(id3v2::MakeText(id, text));
    };
    add("TIT2", v1.Title());
    add("TPE1", v1.Artist());
    add("TALB", v1.Album());
    add("TYER", v1.Year());
    if (v1.Track() != 0) add("TRCK", std::to_string(v1.Track()));
    add("TCON", std::string(GenreUsualName(v1.GenreIndex())));
    if (!v1.Comment().empty() && !has("COMM")) frames.push_back(id3v2::MakeComment("COMM", "eng", "", v1.Comment()));
}

// The APE items an ID3v1.1 tag has no field for, named for the file's reason.
std::string NotInId3v1(const TAPEtag &ape)
{
    constexpr std::size_t kNamed = 8;
    static constexpr std::string_view kHeld[] = {"Title", "Artist", "Album", "Year", "Comment", "Track", "Genre"};
    std::vector<std::string> left;
    for (const TAPEitem &item : ape.Items()) {
        if (std::any_of(std::begin(kHeld), std::end(kHeld), [&](std::string_view k) { return EqualsAsciiNoCase(k, item.key); }))
            continue;
        if (item.value.empty()) continue;
        left.push_back(StartsWithAsciiNoCase(item.key, "Cover Art") ? "the cover picture" : "\"" + FirstChars(item.key, 64) + "\"");
    }
    if (left.empty()) return {};
    std::string names;
    for (std::size_t i = 0; i < std::min(left.size(), kNamed); ++i) names += (i ? ", " : "") + left[i];
    if (left.size() > kNamed) names += " and " + std::to_string(left.size() - kNamed) + " more";
    return "the ID3v1.1 tag has no field for the APE item" + std::string(left.size() > 1 ? "s " : " ") + names +
           ": not carried";
}

}  // namespace

std::uint8_t GenreIndexOf(const std::string &name)
{
    if (name.empty()) return kNoGenre;
    if (const auto number = GenreNumberOf(name))
        return *number < kGenreCount ? static_cast<std::uint8_t>(*number) : kGenreOther;
    if (const auto index = GenreIndexOfName(name)) return static_cast<std::uint8_t>(*index);
    return kGenreOther;
}

TTransferResult TransferTags(const std::string &sourcePath, const std::string &outputPath,
                             const TTagSwitches &switches, const TTagAdditions &additions)
{
    TMPEGplus source;
    const bool sourceRead = source.LoadFromFile(sourcePath);
    // An MP3 that does not open makes every write that is wanted fail.
    TFileStream output;
    output.Open(outputPath, TFileStream::Mode::ReadWrite);
    TTransferResult result = TransferTags(source, output, switches, additions);
    result.sourceRead = sourceRead;
    return result;
}

TTransferResult TransferTags(const TMPEGplus &source, TStream &output, const TTagSwitches &switches,
                             const TTagAdditions &additions)
{
    TTransferResult result;
    result.sourceRead = true;

    std::string why;
    auto note = [&](bool written, std::initializer_list<bool *> flags, const char *kind) {
        if (written) {
            for (bool *flag : flags) *flag = true;
            return;
        }
        ++result.writesFailed;
        if (result.error.empty()) result.error = std::string(kind) + " tag: " + why;
    };

    const TID3v2 &id3v2 = source.ID3v2Tag();
    const TAPEtag &ape = source.ApeTag();
    const bool copyV2 = switches.copyID3v2 && id3v2.Present();
    const bool apeToV2 = switches.convertApe && ape.Present() && switches.apeTarget != 0;
    const bool apeToV1 = switches.convertApe && ape.Present() && switches.apeTarget == 0;
    // The header's ReplayGain is worth a tag of its own wherever an ID3v2.3 tag is wanted.
    const bool v2Wanted = WritesId3v2(switches);
    const bool headerGain = v2Wanted && source.ReplayGain().Any();
    const bool ours = v2Wanted && (!additions.marker.empty() || !additions.folderArt.empty());

    if (switches.copyID3v1 && source.ID3v1Tag().Present())
        note(source.ID3v1Tag().WriteToStream(output, &why), {&result.id3v1Copied}, "ID3v1");
    // The ID3v1 tag the MP3 ends with: one made from APE replaces a copied one.
    std::optional<TID3v1> v1Written;
    if (apeToV1) v1Written = Id3v1FromApe(ape);
    else if (switches.copyID3v1 && source.ID3v1Tag().Present()) v1Written = source.ID3v1Tag();

    if (copyV2 || apeToV2 || headerGain || ours) {
        std::vector<std::string> omitted;
        if (copyV2) omitted = id3v2.Omitted();
        if (apeToV2) omitted.insert(omitted.end(), ape.Omitted().begin(), ape.Omitted().end());
        for (const std::string &o : omitted) result.omitted += (result.omitted.empty() ? "" : "; ") + o;
        std::vector<TID3v2Frame> frames;
        if (copyV2) frames = id3v2.Frames();
        // With nothing of the source's to carry, what the encoder's own options tagged stays.
        if (!copyV2 && !apeToV2) {
            TID3v2 encoders;
            if (encoders.LoadFromStream(output)) frames = encoders.Frames();
        }
        if (apeToV2) MergeFrames(frames, FramesFromApe(ape));
        if (!HasReplayGain(frames)) MergeFrames(frames, ReplayGainFrames(source.ReplayGain()));
        if (v1Written) AddId3v1Fields(frames, *v1Written);
        if (v2Wanted) AddOurFrames(frames, additions);
        id3v2::DropDuplicates(frames);
        TID3v2 target;
        target.SetFrames(std::move(frames));
        bool unused = false;
        note(target.WriteToStream(output, &why), {copyV2 ? &result.id3v2Copied : &unused,
                                                  apeToV2 ? &result.apeConverted : &unused}, "ID3v2");
    }

    if (apeToV1) {
        note(v1Written->WriteToStream(output, &why), {&result.apeConverted}, "ID3v1");
        if (std::string lost = NotInId3v1(ape); !lost.empty())
            result.omitted += (result.omitted.empty() ? "" : "; ") + lost;
    }
    return result;
}

}  // namespace trackmill
