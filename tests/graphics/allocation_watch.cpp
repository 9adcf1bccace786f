#include "graphics/allocation_watch.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> watching{false};
std::atomic<size_t> largest{0};

void* Allocate(size_t size) {
  if (watching.load(std::memory_order_relaxed)) {
    size_t seen = largest.load(std::memory_order_relaxed);
    while (size > seen && !largest.compare_exchange_weak(seen, size)) {}
  }
  if (void* p = std::malloc(std::max<size_t>(size, 1))) return p;
  throw std::bad_alloc();
}

}  // namespace

// The array forms and the sized deletes of the library call these.
void* operator new(size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace orv::test {

AllocationWatch::AllocationWatch() {
  largest = 0;
  watching = true;
}
AllocationWatch::~AllocationWatch() { watching = false; }
size_t AllocationWatch::Largest() const { return largest; }

}  // namespace orv::test
