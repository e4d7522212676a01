#include "system/data_folder.h"

#include <windows.h>

#include <aclapi.h>

#include <memory>
#include <vector>

#include "system/file_io.h"
#include "system/settings_file.h"
#include "system/win32/data_folder_win32.h"
#include "system/win32/wide_win32.h"

namespace keeprun {
namespace {

struct LocalFreer {
    void operator()(void* p) const { LocalFree(p); }
};

// The SID of the user keeprun runs as; empty when it cannot be read.
std::vector<unsigned char> user_sid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    const bool ok = size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    CloseHandle(token);
    if (!ok) return {};
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    const auto* bytes = static_cast<const unsigned char*>(sid);
    return {bytes, bytes + GetLengthSid(sid)};
}

// Full control for the user, SYSTEM and Administrators, passed on to every file
// and folder inside; nothing inherited from the drive's root.
std::unique_ptr<ACL, LocalFreer> private_acl(PSID user) {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID system = nullptr, admins = nullptr;
    AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system);
    AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                             0, 0, 0, &admins);
    EXPLICIT_ACCESSW entries[3] = {};
    const PSID sids[3] = {user, system, admins};
    for (int i = 0; i < 3; ++i) {
        entries[i].grfAccessPermissions = GENERIC_ALL;
        entries[i].grfAccessMode = SET_ACCESS;
        entries[i].grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
        entries[i].Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entries[i].Trustee.ptstrName = static_cast<LPWSTR>(sids[i]);
    }
    PACL acl = nullptr;
    const bool ok =
        system && admins && SetEntriesInAclW(3, entries, nullptr, &acl) == ERROR_SUCCESS;
    if (system) FreeSid(system);
    if (admins) FreeSid(admins);
    return std::unique_ptr<ACL, LocalFreer>(ok ? acl : nullptr);
}

// Whom keeprun trusts to own its files: the user, SYSTEM or Administrators.
bool trusted_owner(PSID owner, PSID user) {
    return owner && (EqualSid(owner, user) || IsWellKnownSid(owner, WinLocalSystemSid) ||
                     IsWellKnownSid(owner, WinBuiltinAdministratorsSid));
}

// "" when `path` is missing or a plain file or folder of a trusted owner; else why
// not. `owned_by_user` tells whether the user owns it.
std::string refusal(const std::string& path, PSID user, bool* owned_by_user = nullptr) {
    const std::wstring wide = widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return path + ": a link or junction";
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return path + ": its owner cannot be read";
    const std::unique_ptr<void, LocalFreer> freed(descriptor);
    if (!trusted_owner(owner, user)) return path + ": owned by another user";
    if (owned_by_user) *owned_by_user = EqualSid(owner, user);
    return {};
}

std::string make_private_folder(const std::string& path) {
    std::vector<unsigned char> sid = user_sid();
    if (sid.empty()) return path + ": the user's identity cannot be read";
    const PSID user = sid.data();
    const auto acl = private_acl(user);
    if (!acl) return path + ": no access list could be made";
    const std::wstring wide = widen(path);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl.get(), FALSE);
    SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    CreateDirectoryW(wide.c_str(), &attributes);
    if (std::string error = make_folders(path); !error.empty()) return error;
    bool owned_by_user = false;
    if (std::string error = refusal(path, user, &owned_by_user); !error.empty()) return error;
    // A folder an older version made with the drive's permissions, and the files
    // in it, get the list too. One that Administrators own (made by an elevated
    // keeprun) is tightened where this process may.
    if (!SetFileSecurityW(wide.c_str(), DACL_SECURITY_INFORMATION, &descriptor) && owned_by_user)
        return path + ": its permissions cannot be set";
    for (const char* name : kStoredFileNames) {
        const std::string file = path + "\\" + name;
        if (std::string error = refusal(file, user); !error.empty()) return error;
        SetFileSecurityW(widen(file).c_str(), DACL_SECURITY_INFORMATION, &descriptor);
    }
    return {};
}

} // namespace

DataFolder choose_data_folder(const std::vector<std::string>& roots,
                              const std::function<std::string(const std::string&)>& make) {
    // A drive that cannot hold the folder (read-only, locked down) gives way
    // to the next.
    DataFolder first;
    for (const std::string& root : roots) {
        DataFolder folder{root + "zx\\", ""};
        folder.error = make(folder.path.substr(0, folder.path.size() - 1));
        if (folder.error.empty()) return folder;
        if (first.path.empty()) first = folder;
    }
    if (first.path.empty()) first = {"c:\\zx\\", "no fixed drive among d:, c:, e:, f:"};
    return first;
}

DataFolder get_data_folder() {
    // The drives in the order the program has always tried them.
    std::vector<std::string> fixed;
    for (const char* root : {"d:\\", "c:\\", "e:\\", "f:\\"})
        if (GetDriveTypeA(root) == DRIVE_FIXED) fixed.emplace_back(root);
    return choose_data_folder(fixed, make_private_folder);
}

} // namespace keeprun
