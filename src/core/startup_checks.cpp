#include "core/startup_checks.h"

bool IsSupportedWindows(uint32_t platformId, uint32_t majorVersion)
{
    const uint32_t PlatformNt = 2;
    return platformId == PlatformNt && majorVersion >= 5;
}

bool GroupsGrantAdmin(const TokenGroupView* groups, size_t count)
{
    const uint32_t GroupEnabled = 4;
    const uint32_t AdministratorsAlias = 544;
    const uint32_t ServerOperatorsAlias = 549;
    for (size_t g = 0; g < count; ++g) {
        if (!(groups[g].attributes & GroupEnabled))
            continue;
        for (size_t i = 0; i < groups[g].subAuthorityCount; ++i) {
            uint32_t rid = groups[g].subAuthorities[i];
            if (rid == AdministratorsAlias || rid == ServerOperatorsAlias)
                return true;
        }
    }
    return false;
}

bool AcceptAgentDirectoryValue(bool readOk, uint32_t valueType, uint32_t sizeBytes)
{
    const uint32_t RegSz = 1;
    return readOk && valueType == RegSz && sizeBytes > 6;
}

void KeepFolderOfPath(Char16* path)
{
    Char16* lastSlash = nullptr;
    for (Char16* p = path; *p; ++p)
        if (*p == '\\')
            lastSlash = p;
    if (lastSlash)
        lastSlash[1] = 0;
}
