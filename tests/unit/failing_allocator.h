// Lets a test make chosen allocations of operator new fail, on the calling
// thread only, to show that no std::bad_alloc leaves the code under test.
// The replacement operators (failing_allocator.cpp) otherwise just call
// malloc and free.
#pragma once

// Allocations are counted from 0 once armed; those with a number in
// [first, first + count) throw std::bad_alloc.
void FailAllocations(long first, long count = 1);
void StopFailingAllocations();
// Allocations made since the last FailAllocations (or since the start).
long AllocationsCounted();

// Arms the allocator for one scope.
struct AllocationFailure {
    AllocationFailure(long first, long count = 1)
    {
        FailAllocations(first, count);
    }
    ~AllocationFailure()
    {
        StopFailingAllocations();
    }
};
