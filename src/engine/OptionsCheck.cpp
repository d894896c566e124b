#include "engine/OptionsCheck.h"

#include "os/Path.h"

#include <vector>

namespace trackmill {

namespace {

// Named as the scratch folder's files are, so a later run knows it for ours.
const std::string kSilenceName = std::to_string(kOptionsCheckId) + ".mpc";

// Version 7 is a stream of little-endian 32-bit words, each read from its top bit down.
class TWordWriter {
public:
    void Put(std::uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ % 32 == 0) words_.push_back(0);
            if ((value >> i) & 1) words_.back() |= std::uint32_t(1) << (31 - used_ % 32);
            ++used_;
        }
    }
    std::string Bytes() const
    {
        std::string out;
        for (const std::uint32_t w : words_)
            for (int shift = 0; shift < 32; shift += 8) out += char((w >> shift) & 0xFF);
        return out;
    }

private:
    std::vector<std::uint32_t> words_;
    int used_ = 0;
};

}  // namespace

std::string SilentMusepack()
{
    constexpr int kFrames = 4;
    TWordWriter w;
    w.Put(kFrames, 32);
    // No intensity stereo, mid-side on, one band (a decoder takes no fewer), profile
    // "Standard", 44,100 Hz, no level, no ReplayGain.
    w.Put(0, 1);
    w.Put(1, 1);
    w.Put(1, 6);
    w.Put(10, 4);
    w.Put(0, 2);
    w.Put(0, 2);
    w.Put(0, 16);
    w.Put(0, 32);
    w.Put(0, 32);
    // Not true gapless (the decoder gives frames x 1,152 - 481 samples), no fast seeking,
    // then the encoder's version, 1.16.
    w.Put(0, 32);
    w.Put(116, 8);
    for (int frame = 0; frame < kFrames; ++frame) {
        // Both channels' first band at resolution 0, the next band's unchanged (Huffman
        // code "1" each): no band holds anything, so there are no scale factors or samples.
        constexpr int kFrameBits = 10;
        w.Put(kFrameBits, 20);
        w.Put(0, 4);
        w.Put(0, 4);
        w.Put(1, 1);
        w.Put(1, 1);
        // The last frame ends with its sample count, unused without true gapless.
        if (frame == kFrames - 1) w.Put(0, 11);
    }
    return std::string("MP+\x07", 4) + w.Bytes();
}

bool PrepareOptionsCheck(const TConversionSetup &setup, const PathQuoter &quote, TScratchFolder &scratch,
                         TPreparedFile &prepared, std::string *error)
{
    prepared = {};
    std::string why;
    if (!scratch.Ensure(&why)) {
        if (error) *error = why;
        return false;
    }
    scratch.RemoveFile(kSilenceName);
    if (!scratch.WriteFile(kSilenceName, SilentMusepack(), &why)) {
        if (error) *error = why;
        return false;
    }
    TWorkItem item;
    item.id = kOptionsCheckId;
    item.source = os::Join(scratch.Path(), kSilenceName);
    // The encoder's folder of ours goes beside the scratch folder, which holds no folders.
    item.output = os::Join(os::FolderOf(scratch.Path()), "silence" + std::string(OutputTarget(setup.format).Extension()));
    if (!PrepareFile(item, setup, quote, scratch, prepared, error)) {
        scratch.RemoveFile(kSilenceName);
        return false;
    }
    return true;
}

void DiscardOptionsCheck(const TPreparedFile &prepared)
{
    DiscardPrepared(prepared);
    if (prepared.scratch) prepared.scratch->RemoveFile(kSilenceName);
}

std::string FinishOptionsCheck(const TPreparedFile &prepared, int encoderStatus, const std::string &outputTail,
                               const TStatusJudge &judge)
{
    TCommandsOutput commands = CommandsOutputOf(prepared, encoderStatus, outputTail);
    commands.encoded = prepared.workFolder && prepared.workFolder->Stat(prepared.tempOutput).size > 0;
    DiscardOptionsCheck(prepared);
    if (!judge) return {};
    const TCommandsEnd end = judge(commands);
    if (end.tryAgain || end.failure.empty()) return {};
    return end.said.empty() ? end.failure : end.failure + "; " + end.said;
}

}  // namespace trackmill
