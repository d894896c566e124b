#include "shutdown/XReboot.h"

namespace trackmill {

std::uint32_t TXWinReboot::ExitWindowsFlags() const
{
    std::uint32_t flags = 0;
    switch (Operation_) {
    case roLogOff: flags = EwxLogOff; break;
    case roReboot: flags = EwxReboot; break;
    case roShutDown: flags = EwxShutdown; break;
    case roSuspend:
    case roHibernate: return 0;
    }
    if (PowerOff_) flags += EwxPowerOff;
    if (ForceTerminateProcesses_) flags += EwxForce;
    return flags;
}

}  // namespace trackmill
