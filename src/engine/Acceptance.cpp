#include "engine/Acceptance.h"

#include "formats/MPEGplus.h"
#include "formats/TextUtil.h"
#include "os/Files.h"

namespace trackmill {

bool HasMusepackFileExtension(const std::string &name) { return HasMusepackExtension(name); }

bool HasValidMusepackHeader(const std::string &path)
{
    // A folder named like a Musepack file is never a candidate.
    if (os::Stat(path).kind != os::TKind::File) return false;
    TMPEGplus reader;
    return reader.LoadHeaderFromFile(path) && reader.Valid();
}

bool IsAcceptableMusepackFile(const std::string &path)
{
    return HasMusepackFileExtension(path) && HasValidMusepackHeader(path);
}

}  // namespace trackmill
