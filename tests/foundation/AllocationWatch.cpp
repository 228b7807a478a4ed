// The replacement of the global operator new lives alone in this file so
// that no allocating code is compiled beside it.
#include "foundation/AllocationWatch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> g_watching{false};
std::atomic<size_t> g_largest{0};
}  // namespace

void* operator new(size_t size) {
  if (g_watching.load(std::memory_order_relaxed)) {
    size_t cur = g_largest.load(std::memory_order_relaxed);
    while (size > cur && !g_largest.compare_exchange_weak(cur, size)) {
    }
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace qv::testing_support {

AllocationWatch::AllocationWatch() {
  g_largest = 0;
  g_watching = true;
}
AllocationWatch::~AllocationWatch() { g_watching = false; }
size_t AllocationWatch::Largest() const { return g_largest; }

}  // namespace qv::testing_support
