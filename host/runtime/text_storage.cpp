#include "host/runtime/text_storage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace host {
namespace {

// Each block starts with what the cache knows of it; the string's units
// follow at a distance that keeps them aligned for any vector load.
struct Header {
  std::size_t capacity;
  bool fresh;       // holds no pages an earlier string brought in
  bool given_back;  // some of its pages moved away while a string held it
};
constexpr std::size_t kHeader = 64;
static_assert(sizeof(Header) <= kHeader);
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

Header& HeaderOf(std::byte* base) { return *std::launder(reinterpret_cast<Header*>(base)); }
const Header& HeaderOfUnits(const void* units) {
  const auto* base = static_cast<const std::byte*>(units) - kHeader;
  return *std::launder(reinterpret_cast<const Header*>(base));
}

// What MovePages did: how far the range it was given is dealt with, and
// where what arrived ends.
struct Moved {
  std::byte* spent;
  std::byte* into;
};

#if defined(__linux__)
// Straight from the system, so that a released block goes back whole.
// No large-page advice, although a block on large pages is quicker to scan
// and copy once resident (a 100 MB conversion: 90 ms against 117): a
// virtual machine gives back to its host the memory its system frees in
// large blocks, and large pages come from those blocks, so their first
// touch waits on the host (400 MB: 1 000 ms against 125 on small pages).
// A paste of 100 MB into the window took 710 ms instead of 350; converting
// 100 MB once the freed blocks had gone back, 740 ms instead of 300.
std::byte* Map(std::size_t bytes) {
  void* base = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) throw std::bad_alloc();
  return static_cast<std::byte*>(base);
}
void Unmap(std::byte* base, std::size_t bytes) noexcept { munmap(base, bytes); }

// Moves the whole pages within [first, last) to the page boundary at or
// after `to`, as many as fit before `to_end`; the range they leave stays
// mapped, empty. Whole pages only, so a block's header page never moves.
Moved MovePages(std::byte* first, std::byte* last, std::byte* to, std::byte* to_end) noexcept {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto down = [page](const std::byte* at) {
    return reinterpret_cast<std::uintptr_t>(at) / page * page;
  };
  const auto up = [page](const std::byte* at) {
    return (reinterpret_cast<std::uintptr_t>(at) + page - 1) / page * page;
  };
  const std::uintptr_t from = up(first);
  const std::uintptr_t from_end = down(last);
  if (from >= from_end) return {first, to};  // no whole page yet: the next call takes it up
  const std::uintptr_t at = up(to);
  const std::uintptr_t room_end = down(to_end);
  if (at >= room_end) return {last, to};  // no room left: these pages stay
  const std::size_t bytes = std::min(from_end - from, room_end - at);
  constexpr int kMove = MREMAP_MAYMOVE | MREMAP_FIXED | MREMAP_DONTUNMAP;
  if (mremap(reinterpret_cast<void*>(from), bytes, bytes, kMove, reinterpret_cast<void*>(at)) ==
      MAP_FAILED) {
    return {last, to};  // an older system, or no room for more mappings: the pages stay
  }
  // Every whole page moved, and the ragged one behind them waits for the
  // next call; or the room ran out, and the rest stays.
  std::byte* const spent =
      bytes == from_end - from ? reinterpret_cast<std::byte*>(from_end) : last;
  return {spent, reinterpret_cast<std::byte*>(at + bytes)};
}
#else
std::byte* Map(std::size_t bytes) { return static_cast<std::byte*>(::operator new(bytes)); }
void Unmap(std::byte* base, std::size_t) noexcept { ::operator delete(base); }

// Heap memory cannot hand its pages on.
Moved MovePages(std::byte*, std::byte* last, std::byte* to, std::byte*) noexcept {
  return {last, to};
}
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
  new (base) Header{capacity, true, false};
  return base;
}

// One cache for the process. Only blocks of a megabyte and more pass
// through it, so its lock costs nothing measurable; the program itself makes
// strings on one thread only. The state is trivially destructible and
// outlives the Closer, which empties it at exit: a string released after
// that (a static one) goes straight back to the system.
//
// The two blocks released last are kept: a chain of whole-text steps takes
// the block its predecessor's input left, and a copy made just before the
// chain takes the other. Every further block kept would stay resident on
// top of the texts themselves until the program goes idle.
constexpr std::size_t kKept = 2;

struct CacheState {
  std::array<Block, kKept> kept;  // the newest last
  bool closed;
};

void Trim(CacheState& cache) noexcept {
  for (Block& block : cache.kept) {
    if (block.base != nullptr) Free(std::exchange(block, Block{}));
  }
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
  Block* best = nullptr;
  for (Block& block : cache.kept) {
    if (block.base != nullptr && block.capacity >= bytes && block.capacity / kMaxWaste <= bytes &&
        (best == nullptr || block.capacity < best->capacity)) {
      best = &block;
    }
  }
  if (best != nullptr) return std::exchange(*best, Block{}).base;
  try {
    return Fresh(bytes, true);
  } catch (const std::bad_alloc&) {
    // Where address space is short (32-bit), neither the headroom nor the
    // kept blocks must be what fails the request.
    Trim(cache);
    return Fresh(bytes, false);
  }
}

void Keep(CacheState& cache, std::byte* base) noexcept {
  Header& header = HeaderOf(base);
  // A block whose pages went back is as good as a new one, and as costly.
  header.fresh = std::exchange(header.given_back, false);
  const Block released{base, header.capacity};
  if (cache.closed) {
    Free(released);
    return;
  }
  // The oldest goes back to the system; an empty slot, if any, is the oldest.
  Block* oldest = &cache.kept[0];
  for (Block& block : cache.kept) {
    if (block.base == nullptr) oldest = &block;
  }
  if (oldest->base != nullptr) Free(*oldest);
  std::move(oldest + 1, cache.kept.end(), oldest);
  cache.kept.back() = released;
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

bool FreshLargeText(const void* units) noexcept { return HeaderOfUnits(units).fresh; }

SpentMove MoveSpentPages(char16_t* spent, std::size_t first, std::size_t last, char16_t* into,
                         std::size_t after, std::size_t end) noexcept {
  auto* from = reinterpret_cast<std::byte*>(spent);
  auto* to = reinterpret_cast<std::byte*>(into);
  const Moved moved = MovePages(from + first, from + last, to + after, to + end);
  if (moved.into != to + after) HeaderOf(from - kHeader).given_back = true;
  return {static_cast<std::size_t>(moved.spent - from), static_cast<std::size_t>(moved.into - to)};
}

std::size_t CachedTextBytes() noexcept {
  const auto [cache, hold] = Cache();
  std::size_t bytes = 0;
  for (const Block& block : cache.kept) bytes += block.base != nullptr ? block.capacity : 0;
  return bytes;
}

}  // namespace host
