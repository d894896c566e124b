// Loads arbitrary bytes (in memory) as a Musepack file and touches every property of the
// stream header and of its three tag readers.
#include "formats/MPEGplus.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::size_t Sum(const std::string &s)
{
    std::size_t sum = 0;
    for (char c : s) sum += static_cast<unsigned char>(c);
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    trackmill::TMemoryStream file(data, size);
    trackmill::TMPEGplus mpc;
    const bool ok = mpc.LoadFromStream(file);
    std::size_t sum = ok + mpc.Valid() + mpc.ChannelModeIndex() + static_cast<std::size_t>(mpc.FileSize()) +
                      static_cast<std::size_t>(mpc.FrameCount()) + mpc.StreamVersion() + mpc.ProfileIndex() +
                      mpc.BitRate() + static_cast<std::size_t>(mpc.Duration()) + mpc.SampleRate() +
                      mpc.SampleCount().value_or(0) + mpc.Channels() + mpc.MinorVersion() +
                      Sum(mpc.StreamVersionText()) + Sum(mpc.ChannelModeName()) + Sum(mpc.ProfileName());
    if (mpc.ChannelModeIndex() > 2 || mpc.ProfileIndex() >= trackmill::TMPEGplus::kProfileCount) std::abort();
    if (!mpc.Valid() && (mpc.StreamVersion() != 0 || mpc.FrameCount() != 0)) std::abort();
    if (mpc.FrameCount() < 0 || !(mpc.Duration() >= 0)) std::abort();
    mpc.CheckStreamEnd(file);
    if (const auto end = mpc.EndsEarlyAt(); end && !(*end >= 0 && *end <= mpc.Duration())) std::abort();

    const auto &v1 = mpc.ID3v1Tag();
    sum += v1.Present() + v1.TagVersion() + v1.Track() + v1.GenreIndex() + Sum(v1.Title()) + Sum(v1.Artist()) +
           Sum(v1.Album()) + Sum(v1.Year()) + Sum(v1.Comment());
    const auto &v2 = mpc.ID3v2Tag();
    sum += v2.Present() + v2.TagVersion() + static_cast<std::size_t>(v2.TagSize()) + v2.Track();
    for (const std::string *s : {&v2.Title(), &v2.Artist(), &v2.Album(), &v2.Year(), &v2.Genre(), &v2.Comment(),
                                 &v2.Composer(), &v2.Encoder(), &v2.Copyright(), &v2.Language(), &v2.URL()})
        sum += Sum(*s);
    const auto &ape = mpc.ApeTag();
    sum += ape.Present() + static_cast<std::size_t>(ape.TagVersion()) + static_cast<std::size_t>(ape.TagSize()) +
           ape.Track() + Sum(ape.Title()) + Sum(ape.Artist()) + Sum(ape.Album()) + Sum(ape.Year()) +
           Sum(ape.Genre()) + Sum(ape.Comment()) + Sum(ape.Copyright());
    const auto &rg = mpc.ReplayGain();
    for (const auto *v : {&rg.trackGain, &rg.trackPeak, &rg.albumGain, &rg.albumPeak})
        if (*v && !std::isfinite(**v)) std::abort();
    if (sum == 0xFFFFFFFFu) std::abort();  // keeps the reads from being optimised away
    return 0;
}
