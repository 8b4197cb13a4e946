#include "vault/securememory_platform.h"

#include <sys/mman.h>

// mlock works on whole pages; the kernel rounds the range out itself.
bool lockMemoryPages(void *address, std::size_t size)
{
    return size > 0 && mlock(address, size) == 0;
}

void unlockMemoryPages(void *address, std::size_t size)
{
    if (size > 0)
        munlock(address, size);
}

void secureZero(void *address, std::size_t size)
{
    volatile unsigned char *p = static_cast<volatile unsigned char *>(address);
    for (std::size_t i = 0; i < size; ++i)
        p[i] = 0;
}
