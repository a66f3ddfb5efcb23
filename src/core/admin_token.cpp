#include "core/admin_token.h"

#include <windows.h>

#include <new>
#include <vector>

#include "core/startup_checks.h"

static bool ScanGroups(const TOKEN_GROUPS* groups)
{
    std::vector<TokenGroupView> views;
    std::vector<std::vector<uint32_t>> subAuthorities(groups->GroupCount);
    views.reserve(groups->GroupCount);
    for (DWORD g = 0; g < groups->GroupCount; ++g) {
        PSID sid = groups->Groups[g].Sid;
        if (IsValidSid(sid)) {
            UCHAR count = *GetSidSubAuthorityCount(sid);
            for (UCHAR i = 0; i < count; ++i)
                subAuthorities[g].push_back(*GetSidSubAuthority(sid, i));
        }
        TokenGroupView view = {groups->Groups[g].Attributes, subAuthorities[g].data(), subAuthorities[g].size()};
        views.push_back(view);
    }
    return GroupsGrantAdmin(views.data(), views.size());
}

bool QueryAdminToken()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    bool admin = false;
    DWORD size = 0;
    GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
    if (size != 0) {
        void* block = HeapAlloc(GetProcessHeap(), 0, size);
        if (block) {
            // Out of memory the test fails like any other: not an administrator.
            try {
                if (GetTokenInformation(token, TokenGroups, block, size, &size))
                    admin = ScanGroups(static_cast<TOKEN_GROUPS*>(block));
            } catch (const std::bad_alloc&) {
                admin = false;
            }
            HeapFree(GetProcessHeap(), 0, block);
        }
    }
    CloseHandle(token);
    return admin;
}
