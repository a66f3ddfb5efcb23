// The decisions of start-up that do not need the system to be asked, kept
// apart so that they can be tried with any input.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/text16.h"

// Windows 2000 and later on the NT platform (platform id 2).
bool IsSupportedWindows(uint32_t platformId, uint32_t majorVersion);

// One group of the user's token: its attributes and its SID's sub-authorities.
struct TokenGroupView {
    uint32_t attributes;
    const uint32_t* subAuthorities;
    size_t subAuthorityCount;
};

// True when an enabled group carries the administrators (544) or server
// operators (549) alias anywhere among its sub-authorities.
bool GroupsGrantAdmin(const TokenGroupView* groups, size_t count);

// The installation folder value is taken only as a string of more than 6 bytes.
bool AcceptAgentDirectoryValue(bool readOk, uint32_t valueType, uint32_t sizeBytes);

// Cuts a module path just after its last backslash; leaves it alone when it
// has none.
void KeepFolderOfPath(Char16* path);
