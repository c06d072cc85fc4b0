#include "host/runtime/text_storage.h"

#include <algorithm>
#include <mutex>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace host {
namespace {

// Each block starts with its capacity; the string's units follow at a
// distance that keeps them aligned for any vector load.
constexpr std::size_t kHeader = 64;
// A fresh block is this much larger than asked for, so that the slightly
// longer text of the next step fits the block this one releases.
constexpr std::size_t kHeadroomDivisor = 4;
constexpr std::size_t kGranule = std::size_t{64} << 10;
// A kept block serves a request of at least 1/kMaxWaste of its size.
constexpr std::size_t kMaxWaste = 2;

struct Block {
  std::byte* base = nullptr;
  std::size_t capacity = 0;
};

std::size_t& CapacityOf(std::byte* base) {
  return *reinterpret_cast<std::size_t*>(base);
}

#if defined(__linux__)
// Straight from the system, so that a released block goes back whole.
// No huge-page advice: where memory is fragmented, the kernel compacts it
// on the first touch of each 2 MiB, which made a first 200 MB step five
// times slower than faulting small pages.
std::byte* Map(std::size_t bytes) {
  void* base = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) throw std::bad_alloc();
  return static_cast<std::byte*>(base);
}
void Unmap(std::byte* base, std::size_t bytes) noexcept { munmap(base, bytes); }
#else
std::byte* Map(std::size_t bytes) { return static_cast<std::byte*>(::operator new(bytes)); }
void Unmap(std::byte* base, std::size_t) noexcept { ::operator delete(base); }
#endif

void Free(const Block& block) noexcept { Unmap(block.base, block.capacity + kHeader); }

// A new block of at least `bytes`, with headroom if `roomy`.
std::byte* Fresh(std::size_t bytes, bool roomy) {
  const std::size_t limit = static_cast<std::size_t>(-1) - kHeader - kGranule;
  if (bytes > limit) throw std::bad_alloc();
  std::size_t capacity = bytes;
  if (roomy) {
    capacity += std::min(bytes / kHeadroomDivisor, limit - bytes);
    capacity = (capacity + kGranule - 1) / kGranule * kGranule;
  }
  std::byte* base = Map(capacity + kHeader);
  CapacityOf(base) = capacity;
  return base;
}

// One cache for the process. Only blocks of a megabyte and more pass
// through it, so its lock costs nothing measurable; the program itself makes
// strings on one thread only. The state is trivially destructible and
// outlives the Closer, which empties it at exit: a string released after
// that (a static one) goes straight back to the system.
//
// One block is kept, the one released last: a chain of whole-text steps
// needs no more, since each step takes the block its predecessor's input
// left, and every further block kept would stay resident on top of the
// texts themselves until the program goes idle.
struct CacheState {
  Block kept;
  bool closed;
};

void Trim(CacheState& cache) noexcept {
  if (cache.kept.base != nullptr) Free(std::exchange(cache.kept, Block{}));
}

class Closer {
 public:
  Closer(CacheState& cache, std::mutex& lock) : cache_(cache), lock_(lock) {}
  Closer(const Closer&) = delete;
  Closer& operator=(const Closer&) = delete;
  ~Closer() {
    const std::lock_guard hold(lock_);
    Trim(cache_);
    cache_.closed = true;
  }

 private:
  CacheState& cache_;
  std::mutex& lock_;
};

// The cache, locked for as long as the returned guard lives.
std::pair<CacheState&, std::unique_lock<std::mutex>> Cache() {
  static constinit CacheState state{};
  // Never destroyed, so that a string released during exit can still lock it.
  static std::mutex& lock = *new std::mutex;
  static Closer closer(state, lock);
  return {state, std::unique_lock(lock)};
}

std::byte* Take(CacheState& cache, std::size_t bytes) {
  const Block& kept = cache.kept;
  if (kept.base != nullptr && kept.capacity >= bytes && kept.capacity / kMaxWaste <= bytes) {
    return std::exchange(cache.kept, Block{}).base;
  }
  try {
    return Fresh(bytes, true);
  } catch (const std::bad_alloc&) {
    // Where address space is short (32-bit), neither the headroom nor the
    // kept block must be what fails the request.
    Trim(cache);
    return Fresh(bytes, false);
  }
}

void Keep(CacheState& cache, std::byte* base) noexcept {
  const Block released{base, CapacityOf(base)};
  if (cache.closed) {
    Free(released);
    return;
  }
  Trim(cache);
  cache.kept = released;
}

}  // namespace

void* AllocateLargeText(std::size_t bytes) {
  const auto [cache, hold] = Cache();
  return Take(cache, bytes) + kHeader;
}

void ReleaseLargeText(void* block) noexcept {
  const auto [cache, hold] = Cache();
  Keep(cache, static_cast<std::byte*>(block) - kHeader);
}

void TrimTextCache() noexcept {
  const auto [cache, hold] = Cache();
  Trim(cache);
}

std::size_t CachedTextBytes() noexcept {
  const auto [cache, hold] = Cache();
  return cache.kept.base != nullptr ? cache.kept.capacity : 0;
}

}  // namespace host
