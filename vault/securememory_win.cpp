// Windows page locking for secrets held in memory. Plain Win32, no Qt, so it
// compiles on its own with the MinGW-w64 cross compiler.
#include "vault/securememory_platform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

bool lockMemoryPages(void *address, std::size_t size)
{
    return size > 0 && VirtualLock(address, size) != 0;
}

void unlockMemoryPages(void *address, std::size_t size)
{
    if (size > 0)
        VirtualUnlock(address, size);
}

void secureZero(void *address, std::size_t size)
{
    SecureZeroMemory(address, size);
}
