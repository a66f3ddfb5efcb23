#include "failing_allocator.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool armed;
thread_local long counted;
thread_local long failFirst;
thread_local long failCount;

void* Allocate(std::size_t size)
{
    if (armed) {
        long number = counted++;
        if (number >= failFirst && number - failFirst < failCount)
            throw std::bad_alloc();
    } else {
        ++counted;
    }
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    return block;
}
}  // namespace

void FailAllocations(long first, long count)
{
    counted = 0;
    failFirst = first;
    failCount = count;
    armed = true;
}

void StopFailingAllocations()
{
    armed = false;
}

long AllocationsCounted()
{
    return counted;
}

void* operator new(std::size_t size)
{
    return Allocate(size);
}

void* operator new[](std::size_t size)
{
    return Allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}
