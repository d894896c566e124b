// UTF-8 paths and texts to and from the UTF-16 of the Windows calls, and the Windows
// error codes as the errno values the rest of the program speaks.
#pragma once

#include <string>

namespace trackmill::os {

std::wstring Wide(const std::string &utf8);
std::string Narrow(const std::wstring &wide);
std::string Narrow(const wchar_t *wide, std::size_t length);
// ENOENT, EACCES, EEXIST, ... for a GetLastError() value; EIO for what has no match.
int ErrnoOf(unsigned long windowsError);
// ErrnoOf(GetLastError()).
int LastErrno();
// An environment variable as UTF-8; empty when unset.
std::string Environment(const wchar_t *name);

}  // namespace trackmill::os
