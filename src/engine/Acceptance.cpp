#include "engine/Acceptance.h"

#include "formats/MPEGplus.h"

#include <filesystem>

namespace trackmill {

bool HasMusepackFileExtension(const std::string &name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    if (name.find('/', dot) != std::string::npos) return false;
    std::string ext = name.substr(dot);
    for (char &c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return ext == ".MPC" || ext == ".MPP" || ext == ".MP+";
}

bool HasValidMusepackHeader(const std::string &path)
{
    std::error_code ec;
    // A folder named like a Musepack file is never a candidate.
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    TMPEGplus reader;
    return reader.LoadFromFile(path) && reader.Valid();
}

bool IsAcceptableMusepackFile(const std::string &path)
{
    return HasMusepackFileExtension(path) && HasValidMusepackHeader(path);
}

}  // namespace trackmill
