// A security descriptor that gives this user alone every right, nothing taken over from
// the folder above: for folders of ours made where other users may write.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

namespace trackmill::os {

// The folder's rights: this user's alone, nothing taken over from the folder above, so a
// temporary folder other users may write into cannot reach our files.
class TOwnRightsOnly {
public:
    TOwnRightsOnly()
    {
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        DWORD size = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<BYTE> user(size);
        LPWSTR sid = nullptr;
        if (size > 0 && ::GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
            ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(user.data())->User.Sid, &sid)) {
            const std::wstring sddl = L"D:P(A;OICI;FA;;;" + std::wstring(sid) + L")";
            ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor_, nullptr);
            ::LocalFree(sid);
        }
        ::CloseHandle(token);
    }
    ~TOwnRightsOnly()
    {
        if (descriptor_) ::LocalFree(descriptor_);
    }
    TOwnRightsOnly(const TOwnRightsOnly &) = delete;
    TOwnRightsOnly &operator=(const TOwnRightsOnly &) = delete;
    // Null when the rights could not be made.
    SECURITY_ATTRIBUTES *Attributes()
    {
        attributes_ = {sizeof(SECURITY_ATTRIBUTES), descriptor_, FALSE};
        return descriptor_ ? &attributes_ : nullptr;
    }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace trackmill::os
