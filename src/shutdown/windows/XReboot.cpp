// The shutdown as the system's own calls make it: ExitWindowsEx after taking the shutdown
// privilege, SetSuspendState for suspend and hibernate.
#include "shutdown/XReboot.h"

#include <windows.h>
#include <powrprof.h>

namespace trackmill {

namespace {

std::string LastErrorText(const char *what)
{
    return std::string(what) + " failed (error " + std::to_string(::GetLastError()) + ")";
}

// A process has the privilege only when it takes it: an ordinary user may.
bool TakeShutdownPrivilege(std::string *why)
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        *why = LastErrorText("OpenProcessToken");
        return false;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    const bool ok = ::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) &&
                    ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                    ::GetLastError() == ERROR_SUCCESS;
    if (!ok) *why = LastErrorText("AdjustTokenPrivileges");
    ::CloseHandle(token);
    return ok;
}

bool SystemShutdown(TRebootOperation operation, std::uint32_t flags, std::string *why)
{
    if (operation == roSuspend || operation == roHibernate) {
        if (::SetSuspendState(operation == roHibernate, FALSE, FALSE)) return true;
        *why = LastErrorText("SetSuspendState");
        return false;
    }
    if (operation != roLogOff && !TakeShutdownPrivilege(why)) return false;
    if (::ExitWindowsEx(flags, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED)) return true;
    *why = LastErrorText("ExitWindowsEx");
    return false;
}

}  // namespace

TXWinReboot::TXWinReboot(QObject *Owner) : QObject(Owner) {}

bool TXWinReboot::Execute()
{
    LastError_.clear();
    return SystemShutdown(Operation_, ExitWindowsFlags(), &LastError_);
}

}  // namespace trackmill
