#pragma once
// Counts the heap allocations of the whole program, for benchmarks that must show that a
// frame allocates nothing but the objects it creates. Include it in exactly one file of
// a benchmark program: it replaces the global allocation functions.

#include <atomic>
#include <cstdlib>
#include <new>

inline std::atomic<long> g_allocations{0};
// Allocations by size in bytes, the last slot counting every larger one.
inline constexpr std::size_t kCountedSizes = 1024;
inline std::atomic<long> g_allocations_of_size[kCountedSizes + 1];

void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  g_allocations_of_size[size < kCountedSizes ? size : kCountedSizes].fetch_add(
      1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
