// Loads each input as a file with the APE tag reader and touches every property and item.
#include "formats/APEtag.h"
#include "formats/TextCodec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::string path = "/tmp/fuzz_apetag_" + std::to_string(getpid()) + ".bin";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    trackmill::TAPEtag tag;
    const bool ok = tag.LoadFromFile(path);
    if (!ok && tag.Present()) std::abort();
    if (tag.Items().size() > trackmill::TAPEtag::kMaxItems) std::abort();
    for (const trackmill::TAPEitem &item : tag.Items()) {
        // Keys are never empty; every text is valid UTF-8 and within its cap.
        if (item.key.empty() || trackmill::ValidUtf8Prefix(item.key) != item.key.size()) std::abort();
        if (item.IsBinary()) continue;
        const std::string text = item.Text();
        if (trackmill::ValidUtf8Prefix(text) != text.size()) std::abort();
        if (item.value.size() > 3 * trackmill::TAPEtag::kMaxTextBytes) std::abort();
        if (tag.Find(item.key) == nullptr) std::abort();
    }
    for (const std::string &text : {tag.Title(), tag.Artist(), tag.Album(), tag.Year(), tag.Genre(),
                                    tag.Comment(), tag.Copyright()})
        if (trackmill::ValidUtf8Prefix(text) != text.size()) std::abort();
    volatile long long sink = static_cast<long long>(tag.TagVersion()) + tag.TagSize() + tag.Track() + tag.Present();
    (void)sink;
    std::remove(path.c_str());
    return 0;
}
