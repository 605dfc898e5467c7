// Internal: character classes of CIF text in the "C" locale, whatever locale the host has set.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace cif::detail {

/// Blank, tab, line feed, vertical tab, form feed, carriage return.
inline bool is_white(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

/// Printable characters other than the blank.
inline bool is_graphic(char c) {
    return c > ' ' && c < 127;
}

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

/// "?" (unknown) and "." (not applicable): values that stand for no value.
inline bool is_placeholder(std::string_view value) {
    return value == "?" || value == ".";
}

/// Whether the text holds '^' or '~', eight bytes at a time. The two differ only in the bit
/// 0x20, so a byte is one of them when (byte | 0x20) ^ '~' is zero. When at least 15 bytes
/// past the text may be read, a short text is looked at in one 16-byte read and its last
/// bytes as one word otherwise, those past it masked.
inline bool has_markup_character(std::string_view text, bool readable_past_end = false) {
    constexpr std::uint64_t ones = 0x0101010101010101u;
    // A high bit for each zero byte of x, exact up to the first one: no borrow passes a byte
    // that is not zero.
    auto marks = [](std::uint64_t bytes) {
        const std::uint64_t x = (bytes | 0x20 * ones) ^ ('~' * ones);
        return (x - ones) & ~x & 0x80 * ones;
    };
    const char* p = text.data();
    std::size_t left = text.size();
#ifdef __SSE2__
    if (readable_past_end && left <= 16) {  // most values: one 16-byte look
        const __m128i folded =
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi8(0x20));
        const unsigned marks =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(folded, _mm_set1_epi8('~'))));
        return (marks & ((1u << left) - 1)) != 0;
    }
#endif
    std::uint64_t bytes;
    for (; left >= 8; p += 8, left -= 8) {
        std::memcpy(&bytes, p, 8);
        if (marks(bytes) != 0) return true;
    }
    if (left == 0) return false;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (readable_past_end) {
        std::memcpy(&bytes, p, 8);
        return (marks(bytes) & (~std::uint64_t(0) >> (64 - 8 * left))) != 0;
    }
#endif
    for (; left > 0; ++p, --left) {
        if ((*p | 0x20) == '~') return true;
    }
    return false;
}

constexpr std::uint64_t byte_ones = 0x0101010101010101u;

// The eight bytes with ASCII capitals lower-cased and every other byte as it was.
inline std::uint64_t lower_case_bytes(std::uint64_t bytes) {
    const std::uint64_t low7 = bytes & (0x7f * byte_ones);
    const std::uint64_t at_least_a = low7 + (0x80 - 'A') * byte_ones;
    const std::uint64_t above_z = low7 + (0x80 - 'Z' - 1) * byte_ones;
    const std::uint64_t capitals = at_least_a & ~above_z & ~bytes & (0x80 * byte_ones);
    return bytes | (capitals >> 2);
}

inline std::uint64_t mix(std::uint64_t h, std::uint64_t word) {
    h = (h ^ word) * 0x9e3779b97f4a7c15u;
    return h ^ (h >> 32);
}

/// A hash of the text with ASCII letters lower-cased, eight bytes at a time: data names are
/// looked up without regard to letter case.
inline std::uint32_t case_folded_hash(std::string_view name) {
    std::uint64_t h = name.size();
    const char* p = name.data();
    std::size_t left = name.size();
    for (; left >= 8; p += 8, left -= 8) {
        std::uint64_t bytes;
        std::memcpy(&bytes, p, 8);
        h = mix(h, lower_case_bytes(bytes));
    }
    if (left > 0) {
        std::uint64_t bytes = 0;
        for (std::size_t i = 0; i < left; ++i)
            bytes |= std::uint64_t(static_cast<unsigned char>(p[i])) << (8 * i);
        h = mix(h, lower_case_bytes(bytes));
    }
    return static_cast<std::uint32_t>(h ^ (h >> 29));
}

}  // namespace cif::detail
