// Loads each input with the APE tag reader (in memory) and touches every property and item;
// read for its texts alone, it gives the same texts.
#include "formats/APEtag.h"
#include "formats/TextCodec.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    trackmill::TMemoryStream file(data, size);
    trackmill::TAPEtag tag;
    const bool ok = tag.LoadFromStream(file);
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
    // Its texts alone are the same texts.
    trackmill::TAPEtag texts;
    if (texts.LoadFromStream(file, trackmill::TTagRead::Texts) != ok || texts.Items().size() != tag.Items().size())
        std::abort();
    for (std::size_t i = 0; i < tag.Items().size(); ++i) {
        const trackmill::TAPEitem &whole = tag.Items()[i], &text = texts.Items()[i];
        if (whole.key != text.key || whole.flags != text.flags || (!whole.IsBinary() && whole.value != text.value) ||
            (whole.IsBinary() && !text.value.empty()))
            std::abort();
    }
    volatile long long sink = static_cast<long long>(tag.TagVersion()) + tag.TagSize() + tag.Track() + tag.Present();
    (void)sink;
    return 0;
}
