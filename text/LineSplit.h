// Line-end detection and splitting of loaded text, shared by the buffer's loader and its tests.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define TARNWELL_LINESPLIT_SSE2 1
#endif

namespace tarnwell {

// Bytes of a file's start that decide its line-end mode.
constexpr size_t kDetectBlockSize = 32768;

// The mode of a text from its first kDetectBlockSize bytes: the first LF decides. No LF, or CR
// before it: 0 (CR LF). CR after it (within the block): 1 (LF CR). Otherwise 2 (LF).
inline int DetectLineEndMode(const char* data, size_t size) {
    const size_t n = size < kDetectBlockSize ? size : kDetectBlockSize;
    const char* lf = n ? static_cast<const char*>(std::memchr(data, '\n', n)) : nullptr;
    if (lf == nullptr) return 0;
    const size_t p = static_cast<size_t>(lf - data);
    if (p > 0 && data[p - 1] == '\r') return 0;
    if (p + 1 < n && data[p + 1] == '\r') return 1;
    return 2;
}

// How many bytes equal c (eight bytes at a time: the exact zero-byte mask of the word xor c).
inline size_t CountByte(const char* data, size_t size, char c) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    const std::uint64_t pattern = 0x0101010101010101ULL * static_cast<unsigned char>(c);
    size_t count = 0;
    size_t i = 0;
#ifdef TARNWELL_LINESPLIT_SSE2
    // Sixteen bytes a step: each match subtracts -1 from its byte lane; the lanes are summed every
    // 255 steps, before one can overflow.
    const __m128i needle = _mm_set1_epi8(c);
    while (i + 16 <= size) {
        const size_t steps = std::min<size_t>((size - i) / 16, 255);
        __m128i lanes = _mm_setzero_si128();
        for (size_t k = 0; k < steps; ++k, i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(v, needle));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<size_t>(_mm_cvtsi128_si32(sums)) + static_cast<size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
#endif
    for (; i + 8 <= size; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, data + i, 8);
        const std::uint64_t t = w ^ pattern;
        const std::uint64_t zero = ~(((t & kLow7) + kLow7) | t | kLow7);
        // One bit a matching byte moved to the byte's low end, summed across the bytes by a multiply.
        count += static_cast<size_t>(((zero >> 7) * 0x0101010101010101ULL) >> 56);
    }
    for (; i < size; ++i) count += data[i] == c;
    return count;
}

// Splits data into lines at the line ends of `mode` and calls sink(start, length) for each line,
// the last one included (empty when the data ends with a line end). A file with n line ends has
// n + 1 lines.
//
// The rule is that of a matcher walking the bytes with a counter into the line-end string: a byte
// that equals the next byte of the string advances the counter, any other byte sets it back to 0
// without being tried as the start of a new match. For the two-byte ends (a, b) this means: a b at
// position p ends a line exactly when the run of a bytes directly before p has odd length (in
// "x CR CR LF y" the second CR breaks the match and the line stays whole). The scan looks for b
// with memchr and counts the run backwards; runs never overlap, so the work stays linear.
template <class Sink>
void SplitLines(const char* data, size_t size, int mode, Sink&& sink) {
    size_t lineStart = 0;
    if (mode == 2) {
        while (lineStart < size) {
            const void* hit = std::memchr(data + lineStart, '\n', size - lineStart);
            if (hit == nullptr) break;
            const size_t p = static_cast<size_t>(static_cast<const char*>(hit) - data);
            sink(data + lineStart, p - lineStart);
            lineStart = p + 1;
        }
        sink(data + lineStart, size - lineStart);
        return;
    }
    const char a = mode == 1 ? '\n' : '\r';
    const char b = mode == 1 ? '\r' : '\n';
    size_t from = lineStart;
    while (from < size) {
        const void* hit = std::memchr(data + from, b, size - from);
        if (hit == nullptr) break;
        const size_t p = static_cast<size_t>(static_cast<const char*>(hit) - data);
        size_t run = 0;
        while (p - run > lineStart && data[p - run - 1] == a) ++run;
        if (run % 2 == 1) {
            sink(data + lineStart, p - 1 - lineStart);
            lineStart = p + 1;
        }
        from = p + 1;
    }
    sink(data + lineStart, size - lineStart);
}

}  // namespace tarnwell
