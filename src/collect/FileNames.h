// File names between the system's bytes and Qt's text. A Linux name is any bytes, and one
// that is not UTF-8 (a Latin-1 name copied from an old disk) must still reach the programs
// as it is: each byte that is not part of valid UTF-8 travels in the text as a lone
// surrogate U+DC80..U+DCFF and becomes that byte again on the way back. Windows names are
// UTF-16 and always convert, so there Qt's own conversion stands.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace trackmill {

QString NameFromBytes(std::string_view bytes);
std::string BytesOfName(const QString &name);

}  // namespace trackmill
