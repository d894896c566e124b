// Loads each input as an Ogg Opus file (in memory), with and without its comments, and
// reads every picture value; then rewrites its comments with a list that needs pages of
// its own, which a valid file must take and read back as written.
#include "formats/OggOpus.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using trackmill::TOggOpus;
    namespace opus = trackmill::opus;
    trackmill::TMemoryStream file(data, size);

    TOggOpus all;
    const bool valid = all.LoadFromStream(file);
    if (valid != all.Valid() || valid != all.Error().empty()) std::abort();
    if (!valid && (!all.Comments().empty() || !all.Vendor().empty())) std::abort();
    if (all.Comments().size() > TOggOpus::kMaxComments || all.SampleCount() < 0) std::abort();

    // What reads whole reads alike without its comments.
    TOggOpus head;
    if (head.LoadFromStream(file, TOggOpus::TPart::NoComments) != head.Valid()) std::abort();
    if (valid && (!head.Valid() || head.SampleCount() != all.SampleCount() || head.AudioOffset() != all.AudioOffset() ||
                  !head.Comments().empty()))
        std::abort();
    TOggOpus comments;
    if (comments.LoadFromStream(file, TOggOpus::TPart::NoLastPage) != comments.Valid()) std::abort();
    if (valid && (!comments.Valid() || comments.Comments().size() != all.Comments().size())) std::abort();

    // A picture read is built again into the same block.
    std::vector<std::string> values = all.Values("METADATA_BLOCK_PICTURE");
    values.emplace_back(reinterpret_cast<const char *>(data), size);
    for (const std::string &value : values)
        if (const auto picture = opus::ReadPictureValue(value)) {
            const auto again = opus::ReadPictureValue(opus::PictureValue(*picture));
            if (!again || again->data != picture->data || again->mime != picture->mime || again->type != picture->type)
                std::abort();
        }

    TOggOpus writer;
    writer.SetComments({{"TITLE", "t"}, {"PAD", std::string(65100 + size % 300, 'p')}});
    if (!writer.WriteToStream(file)) {
        if (valid) std::abort();
        if (file.Bytes() != std::vector<std::uint8_t>(data, data + size)) std::abort();
        return 0;
    }
    if (!valid) std::abort();
    TOggOpus back;
    // Renumbering changes bytes that a stray "OggS" inside a packet may have counted as
    // its own page: only the search for the last page may come out otherwise.
    if (!back.LoadFromStream(file)) {
        if (back.Error().find("audio page") == std::string::npos) std::abort();
        return 0;
    }
    if (back.Comments() != writer.Comments() || back.Vendor() != all.Vendor() ||
        back.Head().preSkip != all.Head().preSkip || back.Head().channels != all.Head().channels)
        std::abort();
    return 0;
}
