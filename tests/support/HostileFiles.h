// The project's own collection of broken and tricky files, made byte by byte: the kinds
// that have crashed, hung or misled tag and stream readers (truncated tags, sizes and
// counts that lie, packet loops, huge claimed sizes, garbage), beside a few sound files
// whose facts are known. Every reader test that walks "a folder of nasty files" uses it.
#pragma once

#include "support/TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tmtest {

struct HostileFile {
    std::string name;  // says what is wrong with it
    Bytes bytes;
};

std::vector<HostileFile> HostileFiles();
// Writes every file into `folder` (created as needed); returns their paths.
std::vector<fs::path> WriteHostileFiles(const fs::path &folder);

// Facts of the sound files among them, for tests that check values and not only survival.
struct KnownStream {
    const char *name;
    int streamVersion;
    std::int32_t frameCount;
    std::uint64_t sampleCount;  // version 8 only
    const char *channelMode;
};
const std::vector<KnownStream> &KnownStreams();

}  // namespace tmtest
