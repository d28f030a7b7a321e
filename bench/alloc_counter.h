// Counts heap bytes in use and their peak, for memory figures in benchmarks.
// Include in exactly one translation unit of a benchmark program.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace bench {
inline std::atomic<long long> gInUse{0};
inline std::atomic<long long> gPeak{0};
inline void ResetPeak() { gPeak = gInUse.load(); }
}  // namespace bench

namespace bench {
// Each block carries its size in front of it. Not inlined into the
// operators, where GCC would take the offset pointers for a mismatch.
[[gnu::noinline]] inline void* CountedAlloc(std::size_t n) {
  auto* p = static_cast<std::size_t*>(std::malloc(n + 16));
  if (!p) throw std::bad_alloc();
  *p = n;
  const long long now = gInUse += static_cast<long long>(n);
  long long peak = gPeak.load();
  while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
  }
  return reinterpret_cast<char*>(p) + 16;
}
[[gnu::noinline]] inline void CountedFree(void* q) noexcept {
  if (!q) return;
  auto* p = reinterpret_cast<std::size_t*>(static_cast<char*>(q) - 16);
  gInUse -= static_cast<long long>(*p);
  std::free(p);
}
}  // namespace bench

void* operator new(std::size_t n) { return bench::CountedAlloc(n); }
void operator delete(void* q) noexcept { bench::CountedFree(q); }
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete[](void* q) noexcept { operator delete(q); }
void operator delete(void* q, std::size_t) noexcept { operator delete(q); }
void operator delete[](void* q, std::size_t) noexcept { operator delete(q); }
