#pragma once
// Vectors of doubles for the picture's per-frame kernels, and the processor check
// that picks their width.
//
// TLanes2 / TLanes4 are GCC vector extensions: +, -, *, / work element by element
// with the IEEE operations of double, so each lane computes exactly what the
// scalar code computes, whatever the width. Two lanes are SSE2 registers (every
// x86-64 processor); four are AVX registers, used only inside functions marked
// KORVALE_AVX2 and only when HaveAvx2() says so. AVX2 does not include FMA, so
// products and sums stay separately rounded there too.
//
// Kernels are written once as always-inlined templates over the vector type and
// instantiated in one plain function and one KORVALE_AVX2 function; inlined, the
// template is compiled for the instruction set of the function that uses it.

#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

// The four-lane helpers are always inlined into AVX2 functions, so no four-lane
// vector ever crosses a call: the compilers' note on their calling convention does
// not apply.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wunknown-warning-option"
#endif
#pragma GCC diagnostic ignored "-Wpsabi"

#define KORVALE_INLINE [[gnu::always_inline]] inline
#define KORVALE_AVX2 __attribute__((target("avx2")))

// (Concrete types: GCC drops vector_size from an alias template whose size
// depends on a template argument.)
typedef double TLanes2 __attribute__((vector_size(2 * sizeof(double))));
typedef double TLanes4 __attribute__((vector_size(4 * sizeof(double))));
typedef int64_t TBits2 __attribute__((vector_size(2 * sizeof(int64_t))));
typedef int64_t TBits4 __attribute__((vector_size(4 * sizeof(int64_t))));

template <class V>
using TBitsOf = std::conditional_t<sizeof(V) == sizeof(TBits2), TBits2, TBits4>;

template <class V>
constexpr int kWidth = sizeof(V) / sizeof(double);

// Whether this processor runs AVX2 (checked once).
inline bool ProcessorHasAvx2() {
    static const bool have = [] {
        __builtin_cpu_init();  // also when first asked before the runtime's own start-up has run
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return have;
}

// Whether the four-lane kernels may run; they do by default. Tests turn them off
// to run the two-lane kernels on a processor that has AVX2 as well.
inline std::atomic<bool> &Avx2Allowed() {
    static std::atomic<bool> allowed{true};
    return allowed;
}

// Whether the four-lane kernels run.
inline bool HaveAvx2() {
    return ProcessorHasAvx2() && Avx2Allowed().load(std::memory_order_relaxed);
}

template <class V>
KORVALE_INLINE V Load(const double *p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class V>
KORVALE_INLINE void Store(double *p, V v) {
    std::memcpy(p, &v, sizeof v);
}

// |v| as std::fabs gives it: the sign bit cleared.
template <class V>
KORVALE_INLINE V Abs(V v) {
    static_assert(sizeof(V) == sizeof(TBitsOf<V>));
    V sign{};
    for (int k = 0; k < kWidth<V>; ++k)
        sign[k] = -0.0;
    return (V)((TBitsOf<V>)v & ~(TBitsOf<V>)sign);
}
