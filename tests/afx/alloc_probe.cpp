#include "alloc_probe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> g_nLargest { 0 };

void Note(std::size_t n)
{
    std::size_t nSeen = g_nLargest.load();
    while (n > nSeen && !g_nLargest.compare_exchange_weak(nSeen, n)) { }
}

} // namespace

void ResetLargestAllocation()
{
    g_nLargest = 0;
}

std::size_t GetLargestAllocation()
{
    return g_nLargest.load();
}

void* operator new(std::size_t n)
{
    Note(n);
    void* p = std::malloc(n == 0 ? 1 : n);
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}

void* operator new[](std::size_t n)
{
    return ::operator new(n);
}

void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    Note(n);
    return std::malloc(n == 0 ? 1 : n);
}

void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept
{
    return ::operator new(n, tag);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
