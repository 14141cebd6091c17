// Reading a folder's owner and access list, and making or narrowing the helper's folder.
#include "capture/helper_folder.h"
#include "capture/helper_parts.h"
#include "capture/wine_unix_mode.h"

namespace {

// The facts about a folder that decide whether the helper may live there.
HelperFolderFacts ReadFolderFacts(const std::wstring& folder, PSID user) {
    HelperFolderFacts facts;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return facts;
    facts.exists = true;
    facts.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.reparsePoint = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    alignas(8) BYTE buffer[4096];
    DWORD needed = 0;
    auto* descriptor = reinterpret_cast<PSECURITY_DESCRIPTOR>(buffer);
    if (!GetFileSecurityW(folder.c_str(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                          descriptor, sizeof buffer, &needed))
        return facts; // unreadable: not known to be ours, so refused
    PSID owner = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    facts.ownedByUser = GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) && owner &&
                        EqualSid(owner, user);
    ACL* acl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted)) return facts;
    facts.hasAccessList = present && acl;
    for (DWORD i = 0; facts.hasAccessList && i < acl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(acl, i, &ace)) break;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        FolderAccessEntry entry;
        entry.allow = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
        entry.inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
        if (entry.allow) {
            const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
            PSID sid = const_cast<DWORD*>(&allowed->SidStart);
            entry.mask = allowed->Mask;
            entry.trusted = EqualSid(sid, user) || IsWellKnownSid(sid, WinLocalSystemSid) ||
                            IsWellKnownSid(sid, WinBuiltinAdministratorsSid);
        }
        facts.entries.push_back(entry);
    }
    return facts;
}

} // namespace

// The per-user folder for the helper library: made with access for the current user only
// (under Wine on Linux also Unix mode 0700). An existing folder is used only when it is the
// user's and nobody else may write to it; its access is then narrowed to the user again.
bool PrepareHelperFolder(const std::wstring& folder) {
    OwnerOnlySecurity security;
    if (!MakeOwnerOnlySecurity(&security)) {
        LogHelperFailure("no security descriptor for the helper folder", GetLastError());
        return false;
    }
    PSID user = reinterpret_cast<TOKEN_USER*>(security.user)->User.Sid;
    HelperFolderStep step = DecideHelperFolder(ReadFolderFacts(folder, user));
    if (step == HelperFolderStep::Create) {
        CreateDirectoryW(folder.c_str(), &security.attributes);
    } else if (step == HelperFolderStep::Use) {
        SetFileSecurityW(folder.c_str(),
                         DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                         &security.descriptor);
    }
    // Whatever was made or found, it is used only as it stands now.
    if (step == HelperFolderStep::Refuse ||
        DecideHelperFolder(ReadFolderFacts(folder, user)) != HelperFolderStep::Use ||
        MakeFolderOwnerOnlyUnderWine(folder.c_str()) == UnixModeResult::Failed) {
        LogHelperFailure("the helper folder is someone else's or others may write to it",
                         ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}
