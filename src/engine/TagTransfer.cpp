#include "engine/TagTransfer.h"

#include "formats/ID3v1.h"
#include "formats/ID3v2.h"
#include "formats/MPEGplus.h"

namespace trackmill {

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualUpperAscii(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

// The first n characters of a UTF-8 text (a character is a lead byte and its continuations).
std::string FirstChars(const std::string &text, std::size_t n)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == n) return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

constexpr std::size_t kApeTextLimit = 255;

}  // namespace

std::uint8_t GenreIndexOf(const std::string &name)
{
    if (name.empty()) return kNoGenre;
    for (unsigned i = 0; i < kGenreCount; ++i)
        if (EqualUpperAscii(GenreName(i), name)) return static_cast<std::uint8_t>(i);
    return kGenreOther;
}

TTransferResult TransferTags(const std::string &sourcePath, const std::string &outputPath,
                             const TTagSwitches &switches)
{
    TTransferResult result;
    TMPEGplus source;
    result.sourceRead = source.LoadFromFile(sourcePath);

    std::string why;
    auto note = [&](bool written, bool &flag, const char *kind) {
        if (written) {
            flag = true;
            return;
        }
        ++result.writesFailed;
        if (result.error.empty()) result.error = std::string(kind) + " tag: " + why;
    };

    if (switches.copyID3v1 && source.ID3v1Tag().Present())
        note(source.ID3v1Tag().WriteToFile(outputPath, &why), result.id3v1Copied, "ID3v1");
    if (switches.copyID3v2 && source.ID3v2Tag().Present())
        note(source.ID3v2Tag().WriteToFile(outputPath, &why), result.id3v2Copied, "ID3v2");

    const TAPEtag &ape = source.ApeTag();
    if (switches.convertApe && ape.Present()) {
        if (switches.apeTarget != 0) {
            TID3v2 target;
            target.Clear();
            target.SetTitle(ape.Title());
            target.SetArtist(ape.Artist());
            target.SetAlbum(ape.Album());
            target.SetYear(ape.Year());
            target.SetComment(ape.Comment());
            target.SetTrack(ape.Track());
            target.SetGenre(ape.Genre());
            note(target.WriteToFile(outputPath, &why), result.apeConverted, "ID3v2");
        } else {
            TID3v1 target;
            target.Clear();
            target.SetTitle(FirstChars(ape.Title(), kApeTextLimit));
            target.SetArtist(FirstChars(ape.Artist(), kApeTextLimit));
            target.SetAlbum(FirstChars(ape.Album(), kApeTextLimit));
            target.SetYear(FirstChars(ape.Year(), kApeTextLimit));
            target.SetComment(FirstChars(ape.Comment(), kApeTextLimit));
            target.SetTrack(ape.Track());
            target.SetGenreIndex(GenreIndexOf(ape.Genre()));
            note(target.WriteToFile(outputPath, &why), result.apeConverted, "ID3v1");
        }
    }
    return result;
}

}  // namespace trackmill
