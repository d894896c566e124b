// Gives demo Musepack files ID3v1 and ID3v2 tags written by our own writers, so the
// demo shows every tag kind: the fields come from the file's APE tag, or demo texts
// when it has none. Usage: trackmill-demo-tags FILE...
#include "engine/TagTransfer.h"
#include "formats/MPEGplus.h"

#include <cstdio>
#include <string>

using namespace trackmill;

namespace {

struct Fields {
    std::string title, artist, album, year, genre, comment;
    unsigned track = 0;
};

Fields FieldsOf(const TMPEGplus &mpc, const std::string &path)
{
    const TAPEtag &ape = mpc.ApeTag();
    if (ape.Present() && !ape.Title().empty()) {
        return {ape.Title(), ape.Artist(), ape.Album(), ape.Year(), ape.Genre(),
                ape.Comment().empty() ? "tagged by trackmill-demo-tags" : ape.Comment(), ape.Track()};
    }
    const auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    name = name.substr(0, name.find_last_of('.'));
    return {name, "Trackmill Demo", "Sample Tones", "2026", "Ambient", "tagged by trackmill-demo-tags", 0};
}

bool Tag(const std::string &path)
{
    TMPEGplus mpc;
    if (!mpc.LoadFromFile(path) || !mpc.Valid()) {
        std::fprintf(stderr, "trackmill-demo-tags: %s: not a Musepack file\n", path.c_str());
        return false;
    }
    const Fields f = FieldsOf(mpc, path);

    TID3v2 v2;
    v2.SetTitle(f.title);
    v2.SetArtist(f.artist);
    v2.SetAlbum(f.album);
    v2.SetYear(f.year);
    v2.SetGenre(f.genre);
    v2.SetComment(f.comment);
    v2.SetTrack(static_cast<std::uint16_t>(f.track));

    TID3v1 v1;
    v1.SetTitle(f.title);
    v1.SetArtist(f.artist);
    v1.SetAlbum(f.album);
    v1.SetYear(f.year);
    v1.SetComment(f.comment);
    v1.SetTrack(static_cast<std::uint8_t>(f.track));
    v1.SetGenreIndex(GenreIndexOf(f.genre));

    if (!v2.WriteToFile(path) || !v1.WriteToFile(path)) {
        std::fprintf(stderr, "trackmill-demo-tags: %s: could not write the tags\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fputs("Usage: trackmill-demo-tags FILE...\n", stderr);
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        if (!Tag(argv[i])) status = 1;
    }
    return status;
}
