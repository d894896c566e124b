#include "engine/Acceptance.h"

#include "formats/MPEGplus.h"
#include "formats/TextUtil.h"

#include <filesystem>

namespace trackmill {

bool HasMusepackFileExtension(const std::string &name) { return HasMusepackExtension(name); }

bool HasValidMusepackHeader(const std::string &path)
{
    std::error_code ec;
    // A folder named like a Musepack file is never a candidate.
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    TMPEGplus reader;
    return reader.LoadHeaderFromFile(path) && reader.Valid();
}

bool IsAcceptableMusepackFile(const std::string &path)
{
    return HasMusepackFileExtension(path) && HasValidMusepackHeader(path);
}

}  // namespace trackmill
