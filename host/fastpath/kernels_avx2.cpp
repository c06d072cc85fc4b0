// The kernels with 256-bit registers, for processors that have AVX2. Only
// this file's own functions, each marked, are compiled for AVX2: no shared
// inline function is ever built with instructions an older processor lacks.
#include "host/fastpath/kernels.h"

#if QUILLFEN_X86
#include <immintrin.h>

#include <algorithm>
#include <cstdint>

#include "host/fastpath/kernels_tails.h"

#define QUILLFEN_KERNEL __attribute__((target("avx2")))

namespace host::fast::kernels {
namespace {

struct Avx2 {
  using Reg = __m256i;
  static constexpr std::ptrdiff_t kLanes = 16;
  static constexpr std::size_t kBytes = 32;

  QUILLFEN_KERNEL static Reg Load(const void* at) {
    return _mm256_loadu_si256(static_cast<const Reg*>(at));
  }
  QUILLFEN_KERNEL static void Store(void* at, Reg value) {
    _mm256_storeu_si256(static_cast<Reg*>(at), value);
  }
  QUILLFEN_KERNEL static void Prefetch(const void* at) {
    _mm_prefetch(static_cast<const char*>(at), _MM_HINT_T0);
  }
  QUILLFEN_KERNEL static Reg Splat(char16_t unit) {
    return _mm256_set1_epi16(static_cast<short>(unit));
  }
  QUILLFEN_KERNEL static Reg Zero() { return _mm256_setzero_si256(); }
  QUILLFEN_KERNEL static Reg Equal(Reg a, Reg b) { return _mm256_cmpeq_epi16(a, b); }
  QUILLFEN_KERNEL static Reg Or(Reg a, Reg b) { return _mm256_or_si256(a, b); }
  QUILLFEN_KERNEL static Reg And(Reg a, Reg b) { return _mm256_and_si256(a, b); }
  QUILLFEN_KERNEL static Reg Sub(Reg a, Reg b) { return _mm256_sub_epi16(a, b); }
  QUILLFEN_KERNEL static unsigned Mask(Reg value) {
    return static_cast<unsigned>(_mm256_movemask_epi8(value));
  }
  QUILLFEN_KERNEL static std::size_t Sum(Reg counts) {
    // Unsigned 16-bit lanes, added in pairs into 32-bit lanes, then across.
    const Reg pairs = _mm256_madd_epi16(_mm256_and_si256(counts, _mm256_set1_epi32(0xFFFF)),
                                        _mm256_set1_epi32(1));
    const Reg high = _mm256_madd_epi16(_mm256_srli_epi32(counts, 16), _mm256_set1_epi32(1));
    const Reg both = _mm256_add_epi32(pairs, high);
    alignas(32) std::uint32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<Reg*>(lanes), both);
    std::size_t sum = 0;
    for (std::uint32_t lane : lanes) sum += lane;
    return sum;
  }

  QUILLFEN_KERNEL static unsigned NonAsciiBytes(const char* at) { return Mask(Load(at)); }
  QUILLFEN_KERNEL static void Widen(const char* in, char16_t* out) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16));
    Store(out, _mm256_cvtepu8_epi16(low));
    Store(out + 16, _mm256_cvtepu8_epi16(high));
  }
  QUILLFEN_KERNEL static bool BothAscii(Reg a, Reg b) {
    return _mm256_testz_si256(_mm256_or_si256(a, b), Splat(0xFF80)) != 0;
  }
  QUILLFEN_KERNEL static bool IsAscii(const char16_t* in) {
    return BothAscii(Load(in), Load(in + 16));
  }
  QUILLFEN_KERNEL static bool Narrow(const char16_t* in, char* out) {
    const Reg a = Load(in);
    const Reg b = Load(in + 16);
    if (!BothAscii(a, b)) return false;
    // The pack works within each 128-bit half; the permute puts the
    // quarters back in order.
    Store(out, _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xD8));
    return true;
  }
};

#include "host/fastpath/kernels_vector.h"

}  // namespace

extern constinit const TextKernels kAvx2 = KernelsOf<Avx2>();

}  // namespace host::fast::kernels

#undef QUILLFEN_KERNEL
#endif
