#pragma once
// Storage of the host's strings. Small strings come from the ordinary heap.
// Large ones come from a cache of large blocks: a whole-text operation
// builds a new string while the one before still lives, so the block the
// step before released is taken again, its pages already in memory, rather
// than having the system map and zero fresh pages for every step. Where a
// step's result takes fresh memory after all, the pages of the input it
// was handed can move under the result as it is written.
#include <cstddef>
#include <new>
#include <type_traits>

namespace host {

/// Strings of at least this many bytes take their storage from the cache.
inline constexpr std::size_t kLargeTextBytes = std::size_t{1} << 20;

/// A block of at least `bytes` bytes (kLargeTextBytes or more); throws
/// std::bad_alloc.
void* AllocateLargeText(std::size_t bytes);

/// Takes back a block from AllocateLargeText, keeping it for the next
/// request it can serve.
void ReleaseLargeText(void* block) noexcept;

/// Gives every kept block back to the system. The backends call it when the
/// event loop goes idle, so a burst of work keeps its pages and an idle
/// program holds only the memory of its live strings.
void TrimTextCache() noexcept;

/// Bytes of the blocks kept at the moment.
std::size_t CachedTextBytes() noexcept;

/// Whether the block holding the large text at `units` (from
/// AllocateLargeText) brings no memory of an earlier string: newly mapped,
/// or kept after its pages moved away (MoveSpentPages). Writing such a text
/// faults in pages the process did not hold before.
bool FreshLargeText(const void* units) noexcept;

/// What MoveSpentPages did, in bytes: how far the spent text is dealt with,
/// and where in the receiving text the pages moved so far end.
struct SpentMove {
  std::size_t spent;
  std::size_t into;
};

/// Moves the whole pages within bytes [first, last) of the large text at
/// `spent` into the large text at `into`, from its first page boundary at
/// or after byte `after`, as many as fit before its byte `end`; where the
/// system cannot move them (not Linux), they stay. What `spent` held there
/// reads as zero after, and what lands in `into` is for the caller to
/// overwrite. Returns how far `spent` is dealt with: at the start of the
/// ragged page behind the last one moved, so that the next call goes on
/// from there, or at `last` where no more can move; and the byte of `into`
/// behind the last page moved, or `after` if none was.
///
/// A step whose result takes fresh memory and whose input is given up can
/// so write into the pages its input no longer needs: the process neither
/// holds both texts at once nor faults in a page for every one it frees.
SpentMove MoveSpentPages(char16_t* spent, std::size_t first, std::size_t last, char16_t* into,
                         std::size_t after, std::size_t end) noexcept;

/// The allocator of host::String: large requests through the cache above.
template <class T>
class TextAllocator {
 public:
  using value_type = T;
  using is_always_equal = std::true_type;
  using propagate_on_container_move_assignment = std::true_type;

  TextAllocator() noexcept = default;
  template <class U>
  TextAllocator(const TextAllocator<U>&) noexcept {}

  T* allocate(std::size_t count) {
    if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    const std::size_t bytes = count * sizeof(T);
    if (bytes < kLargeTextBytes) return static_cast<T*>(::operator new(bytes));
    return static_cast<T*>(AllocateLargeText(bytes));
  }

  void deallocate(T* block, std::size_t count) noexcept {
    if (count * sizeof(T) < kLargeTextBytes) {
      ::operator delete(block);
    } else {
      ReleaseLargeText(block);
    }
  }

  template <class U>
  bool operator==(const TextAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace host
