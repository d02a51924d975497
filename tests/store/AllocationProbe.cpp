#include "tests/store/AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> g_tracking{false};
std::atomic<std::size_t> g_largest{0};

} // namespace

CLargestAllocation::CLargestAllocation() {
    g_largest = 0;
    g_tracking = true;
}

CLargestAllocation::~CLargestAllocation() {
    g_tracking = false;
}

std::size_t CLargestAllocation::Get() const {
    return g_largest;
}

// Replacing the global allocation functions is the one portable way to see every request.
void* operator new(std::size_t size) {
    if (g_tracking) {
        std::size_t seen = g_largest.load();
        while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
        }
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

// The no-throw form too: its default is meant to call the one above, but a sanitizer puts its
// own in place, whose blocks the replaced deletes below would then free as malloc's.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
