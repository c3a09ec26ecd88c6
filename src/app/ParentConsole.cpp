#include "app/ParentConsole.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>

namespace {

bool goesSomewhere(DWORD stream)
{
    const HANDLE current = ::GetStdHandle(stream);
    return current != nullptr && current != INVALID_HANDLE_VALUE;
}

} // namespace
#endif

void UseParentConsole()
{
#ifdef _WIN32
    const bool output = goesSomewhere(STD_OUTPUT_HANDLE);
    const bool errors = goesSomewhere(STD_ERROR_HANDLE);
    if ((output && errors) || !::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!output)
        (void)std::freopen("CONOUT$", "w", stdout);
    if (!errors)
        (void)std::freopen("CONOUT$", "w", stderr);
#endif
}
