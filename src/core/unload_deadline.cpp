#include "core/unload_deadline.h"

// Under the five seconds an installer or a user may wait, with room for the
// process's own exit.
static const DWORD UnloadBudgetMs = 3000;

// The start tick with its lowest bit set, so that zero means "not begun"
// and one exchange both starts and dates the unload.
static volatile LONG StartMark;

void BeginUnload()
{
    InterlockedCompareExchange(&StartMark, LONG(GetTickCount() | 1), 0);
}

bool UnloadBegun()
{
    return InterlockedCompareExchange(&StartMark, 0, 0) != 0;
}

DWORD UnloadTimeLeft()
{
    LONG mark = InterlockedCompareExchange(&StartMark, 0, 0);
    if (mark == 0)
        return INFINITE;
    DWORD spent = GetTickCount() - DWORD(mark);
    return spent >= UnloadBudgetMs ? 0 : UnloadBudgetMs - spent;
}
