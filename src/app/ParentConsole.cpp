#include "app/ParentConsole.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#endif

void UseParentConsoleForErrors()
{
#ifdef _WIN32
    const HANDLE current = ::GetStdHandle(STD_ERROR_HANDLE);
    if (current != nullptr && current != INVALID_HANDLE_VALUE)
        return;
    if (::AttachConsole(ATTACH_PARENT_PROCESS))
        (void)std::freopen("CONOUT$", "w", stderr);
#endif
}
