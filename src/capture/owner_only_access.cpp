// The access rule for the shared frame and its events: only the current user may open them.
#include "capture/helper_parts.h"

bool MakeOwnerOnlySecurity(OwnerOnlySecurity* security) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD length = 0;
    const BOOL gotUser =
        GetTokenInformation(token, TokenUser, security->user, sizeof security->user, &length);
    CloseHandle(token);
    if (!gotUser) return false;
    PSID sid = reinterpret_cast<TOKEN_USER*>(security->user)->User.Sid;
    ACL* acl = reinterpret_cast<ACL*>(security->acl);
    if (!InitializeAcl(acl, sizeof security->acl, ACL_REVISION) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid) ||
        !InitializeSecurityDescriptor(&security->descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&security->descriptor, TRUE, acl, FALSE))
        return false;
    security->attributes.nLength = sizeof(SECURITY_ATTRIBUTES);
    security->attributes.lpSecurityDescriptor = &security->descriptor;
    security->attributes.bInheritHandle = FALSE;
    return true;
}
