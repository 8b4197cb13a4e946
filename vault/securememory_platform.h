#pragma once

#include <cstddef>

// Page locking of a memory range (kept free of Qt so the Windows version
// compiles on its own). False when the system refused or cannot do it.
bool lockMemoryPages(void *address, std::size_t size);
void unlockMemoryPages(void *address, std::size_t size);
// Zeroes a range in a way the compiler must not drop.
void secureZero(void *address, std::size_t size);
