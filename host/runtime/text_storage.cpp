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

// A block of kLargePagedTextBytes and more is aligned to the system's large
// page and asks for such pages: long scans and copies then miss the address
// cache once per 2 MiB rather than once per 4 KiB (a 200 MB scan: 12.3 ms
// on small pages, 11 on large; a 100 MB conversion: 117 ms, 90), and the
// pages a step moves under its result move whole. A shorter text would
// lose more memory than it saves time: at each end of a step, the large
// page that cannot move yet is held twice (a 10 MB conversion held 0.71 of
// its text above its input at the peak, against 0.26 on small pages; with
// the bar at 64 MiB, a 30 MB one in the window peaked at 4.00 times its
// text, against 3.87).
bool LargePaged(std::size_t capacity) { return capacity >= kLargePagedTextBytes; }

#if defined(__linux__)
constexpr std::uintptr_t kLargePageBytes = std::uintptr_t{2} << 20;

std::uintptr_t SystemPage() noexcept { return static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE)); }
std::uintptr_t PageOf(bool large) noexcept {
  return large ? std::max(kLargePageBytes, SystemPage()) : SystemPage();
}
std::uintptr_t Down(std::uintptr_t at, std::uintptr_t page) noexcept { return at / page * page; }
std::uintptr_t Up(std::uintptr_t at, std::uintptr_t page) noexcept {
  return Down(at + page - 1, page);
}

// Straight from the system, so that a released block goes back whole.
std::byte* Map(std::size_t bytes, bool large) {
  const std::uintptr_t small = SystemPage();
  // A large-paged block is mapped a page too long, and trimmed to align it.
  const std::uintptr_t align = PageOf(large);
  const std::uintptr_t extra = align - small;
  if (bytes > static_cast<std::size_t>(-1) - align - small) throw std::bad_alloc();
  const std::size_t length = Up(bytes, small);
  void* raw = mmap(nullptr, length + extra, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                   -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t base = Up(start, align);
  if (base != start) munmap(raw, base - start);
  if (start + extra != base) munmap(reinterpret_cast<void*>(base + length), start + extra - base);
  // Advice only: where the system has no large pages to give, small ones
  // serve as before.
  if (large) madvise(reinterpret_cast<void*>(base), length, MADV_HUGEPAGE);
  return reinterpret_cast<std::byte*>(base);
}
void Unmap(std::byte* base, std::size_t bytes) noexcept { munmap(base, bytes); }

// Moves the whole pages within [first, last) to the page boundary at or
// after `to`, as many as fit before `to_end`; the range they leave stays
// mapped, empty. Whole pages only, so a block's header page never moves.
Moved MovePages(std::byte* first, std::byte* last, std::byte* to, std::byte* to_end,
                std::uintptr_t page) noexcept {
  const std::uintptr_t from = Up(reinterpret_cast<std::uintptr_t>(first), page);
  const std::uintptr_t from_end = Down(reinterpret_cast<std::uintptr_t>(last), page);
  if (from >= from_end) return {first, to};  // no whole page yet: the next call takes it up
  const std::uintptr_t at = Up(reinterpret_cast<std::uintptr_t>(to), page);
  const std::uintptr_t room_end = Down(reinterpret_cast<std::uintptr_t>(to_end), page);
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

// Large pages move whole only between two blocks that have them.
std::uintptr_t MovedPage(std::size_t spent_capacity, std::size_t into_capacity) noexcept {
  return PageOf(LargePaged(spent_capacity) && LargePaged(into_capacity));
}
#else
std::byte* Map(std::size_t bytes, bool) { return static_cast<std::byte*>(::operator new(bytes)); }
void Unmap(std::byte* base, std::size_t) noexcept { ::operator delete(base); }

// Heap memory cannot hand its pages on.
Moved MovePages(std::byte*, std::byte* last, std::byte* to, std::byte*, std::uintptr_t) noexcept {
  return {last, to};
}
std::uintptr_t MovedPage(std::size_t, std::size_t) noexcept { return 0; }
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
  std::byte* base = Map(capacity + kHeader, LargePaged(capacity));
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

std::size_t SpentPageBytes(const char16_t* spent, const char16_t* into) noexcept {
  return MovedPage(HeaderOfUnits(spent).capacity, HeaderOfUnits(into).capacity);
}

SpentMove MoveSpentPages(char16_t* spent, std::size_t first, std::size_t last, char16_t* into,
                         std::size_t after, std::size_t end) noexcept {
  auto* from = reinterpret_cast<std::byte*>(spent);
  auto* to = reinterpret_cast<std::byte*>(into);
  const Moved moved = MovePages(from + first, from + last, to + after, to + end,
                                SpentPageBytes(spent, into));
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
