// The kernels with 128-bit registers: the baseline of every x86 build.
#include "host/fastpath/kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <algorithm>
#include <cstdint>

#include "host/fastpath/kernels_tails.h"

#define QUILLFEN_KERNEL

namespace host::fast::kernels {
namespace {

struct Sse2 {
  using Reg = __m128i;
  static constexpr std::ptrdiff_t kLanes = 8;
  static constexpr std::size_t kBytes = 16;

  static Reg Load(const void* at) { return _mm_loadu_si128(static_cast<const Reg*>(at)); }
  static void Store(void* at, Reg value) { _mm_storeu_si128(static_cast<Reg*>(at), value); }
  static void Prefetch(const void* at) { _mm_prefetch(static_cast<const char*>(at), _MM_HINT_T0); }
  static Reg Splat(char16_t unit) { return _mm_set1_epi16(static_cast<short>(unit)); }
  static Reg Zero() { return _mm_setzero_si128(); }
  static Reg Equal(Reg a, Reg b) { return _mm_cmpeq_epi16(a, b); }
  static Reg Or(Reg a, Reg b) { return _mm_or_si128(a, b); }
  static Reg And(Reg a, Reg b) { return _mm_and_si128(a, b); }
  static Reg Sub(Reg a, Reg b) { return _mm_sub_epi16(a, b); }
  static unsigned Mask(Reg value) { return static_cast<unsigned>(_mm_movemask_epi8(value)); }
  static std::size_t Sum(Reg counts) {
    // Unsigned 16-bit lanes, added in pairs into 32-bit lanes.
    const Reg low = _mm_and_si128(counts, _mm_set1_epi32(0xFFFF));
    const Reg pairs = _mm_add_epi32(low, _mm_srli_epi32(counts, 16));
    alignas(16) std::uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<Reg*>(lanes), pairs);
    return std::size_t{lanes[0]} + lanes[1] + lanes[2] + lanes[3];
  }

  static unsigned NonAsciiBytes(const char* at) { return Mask(Load(at)); }
  static void Widen(const char* in, char16_t* out) {
    const Reg bytes = Load(in);
    Store(out, _mm_unpacklo_epi8(bytes, Zero()));
    Store(out + 8, _mm_unpackhi_epi8(bytes, Zero()));
  }
  static bool BothAscii(Reg a, Reg b) {
    const Reg high = _mm_and_si128(_mm_or_si128(a, b), Splat(0xFF80));
    return Mask(_mm_cmpeq_epi16(high, Zero())) == 0xFFFF;
  }
  static bool IsAscii(const char16_t* in) { return BothAscii(Load(in), Load(in + 8)); }
  static bool Narrow(const char16_t* in, char* out) {
    const Reg a = Load(in);
    const Reg b = Load(in + 8);
    if (!BothAscii(a, b)) return false;
    Store(out, _mm_packus_epi16(a, b));
    return true;
  }
};

#include "host/fastpath/kernels_vector.h"

}  // namespace

extern constinit const TextKernels kSse2 = KernelsOf<Sse2>();

}  // namespace host::fast::kernels

#undef QUILLFEN_KERNEL
#endif
