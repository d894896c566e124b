#include "shutdown/DesktopNotice.h"

namespace trackmill {

TDesktopNotice::TDesktopNotice() = default;

bool TDesktopNotice::Send(const QString &, const QString &) { return false; }

}  // namespace trackmill
