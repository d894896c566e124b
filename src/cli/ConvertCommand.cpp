#include "cli/Commands.h"

#include <cstdio>

namespace trackmill {

int RunConvert(const QStringList &)
{
    std::fputs("convert: not available yet\n", stderr);
    return 2;
}

}  // namespace trackmill
