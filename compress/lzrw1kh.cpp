#include "compress/lzrw1kh.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace lexiflip::compress {

namespace {

constexpr std::uint16_t kEmpty = 0xFFFF;
constexpr std::size_t kMaxOffset = 4095;
constexpr std::size_t kMinCopy = 3;
constexpr std::size_t kMaxCopy = 18;
constexpr std::size_t kMinRun = 16;
constexpr std::size_t kMaxRun = 4095;
constexpr unsigned kItemsPerControlWord = 16;

// The table slot of the three bytes at p.
inline unsigned hashAt(const std::uint8_t* p)
{
    const std::uint32_t key = ((((std::uint32_t{p[0]} << 4) ^ p[1]) << 4) ^ p[2]);
    return ((key * 40543u) >> 4) & 0x0FFFu;
}

inline std::uint64_t load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Length of the common prefix of a and b, at most `limit` (<= kMaxCopy) bytes.
inline std::size_t matchLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit)
{
    std::size_t n = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Whole words while at least 8 bytes may still match: the first
        // differing bit tells how many bytes agreed.
        while (n + 8 <= limit) {
            const std::uint64_t diff = load64(a + n) ^ load64(b + n);
            if (diff != 0)
                return n + static_cast<std::size_t>(std::countr_zero(diff) >> 3);
            n += 8;
        }
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

inline void putControlWord(std::uint8_t* at, unsigned word)
{
    at[0] = static_cast<std::uint8_t>(word >> 8);
    at[1] = static_cast<std::uint8_t>(word);
}

} // namespace

Lzrw1kh::Lzrw1kh() : m_hashTable(new (std::nothrow) std::uint16_t[kHashEntries])
{
    if (!m_hashTable)
        throw ELzrw1KHCompressor("LZRW1KH : no memory for HASH table");
}

std::size_t Lzrw1kh::compressChunk(const std::uint8_t* src, std::size_t length, std::uint8_t* dst)
{
    std::uint16_t* const table = m_hashTable.get();
    // Each chunk starts with an empty table so that its block decodes alone.
    std::fill_n(table, kHashEntries, kEmpty);

    dst[0] = kFlagCompressed;
    std::size_t control = 1;
    std::size_t out = 3;
    unsigned word = 0;
    unsigned items = 0;
    std::size_t p = 0;

    // Giving up as soon as the output passes the chunk length bounds the work on
    // incompressible data and keeps the output inside the buffer's spare bytes.
    while (p < length && out <= length) {
        if (items == kItemsPerControlWord) {
            putControlWord(dst + control, word);
            control = out;
            out += 2;
            word = 0;
            items = 0;
        }
        ++items;
        const std::uint8_t byte = src[p];

        // A run is only worth its 4 bytes from 16 equal bytes on; shorter runs
        // go through the copy search like any other bytes.
        if (p + 1 < length && src[p + 1] == byte) {
            const std::size_t limit = std::min(kMaxRun, length - p);
            std::size_t run = 2;
            while (run < limit && src[p + run] == byte)
                ++run;
            if (run >= kMinRun) {
                const std::size_t stored = run - kMinRun;
                dst[out] = 0;
                dst[out + 1] = static_cast<std::uint8_t>(stored >> 8);
                dst[out + 2] = static_cast<std::uint8_t>(stored);
                dst[out + 3] = byte;
                out += 4;
                word = (word << 1) | 1u;
                p += run;
                continue;
            }
        }

        // Fewer than three bytes left can never make a copy.
        if (length - p >= kMinCopy) {
            const unsigned slot = hashAt(src + p);
            const std::size_t candidate = table[slot];
            table[slot] = static_cast<std::uint16_t>(p);
            if (candidate != kEmpty && p - candidate <= kMaxOffset) {
                const std::size_t len = matchLength(src + candidate, src + p, std::min(kMaxCopy, length - p));
                if (len >= kMinCopy) {
                    const std::size_t value = (p - candidate) * 16 + (len - kMinCopy);
                    dst[out] = static_cast<std::uint8_t>(value >> 8);
                    dst[out + 1] = static_cast<std::uint8_t>(value);
                    out += 2;
                    word = (word << 1) | 1u;
                    p += len;
                    continue;
                }
            }
        }

        dst[out++] = byte;
        word <<= 1;
        ++p;
    }
    putControlWord(dst + control, word << (kItemsPerControlWord - items));

    if (out > length) {
        dst[0] = kFlagStored;
        std::memcpy(dst + 1, src, length);
        return length + 1;
    }
    return out;
}

std::optional<std::size_t> Lzrw1kh::decompressBlock(const std::uint8_t* src, std::size_t length,
                                                    std::uint8_t* dst)
{
    if (length <= 1)
        return 0;
    if (src[0] == kFlagStored) {
        if (length - 1 > kChunkSize)
            return std::nullopt;
        std::memcpy(dst, src + 1, length - 1);
        return length - 1;
    }
    if (src[0] != kFlagCompressed)
        return std::nullopt;

    std::size_t in = 1;
    std::size_t out = 0;
    while (in < length) {
        if (length - in < 2)
            return std::nullopt;
        unsigned word = (unsigned{src[in]} << 8) | src[in + 1];
        in += 2;

        // Sixteen literals in a row: one copy instead of sixteen tests.
        if (word == 0 && length - in >= kItemsPerControlWord && kChunkSize - out >= kItemsPerControlWord) {
            std::memcpy(dst + out, src + in, kItemsPerControlWord);
            in += kItemsPerControlWord;
            out += kItemsPerControlWord;
            continue;
        }

        for (unsigned i = 0; i < kItemsPerControlWord && in < length; ++i, word <<= 1) {
            if ((word & 0x8000u) == 0) {
                if (out >= kChunkSize)
                    return std::nullopt;
                dst[out++] = src[in++];
                continue;
            }
            if (length - in < 2)
                return std::nullopt;
            const std::size_t offset = (std::size_t{src[in]} << 4) | (src[in + 1] >> 4);
            if (offset != 0) {
                const std::size_t len = (src[in + 1] & 0x0Fu) + kMinCopy;
                in += 2;
                if (offset > out || len > kChunkSize - out)
                    return std::nullopt;
                std::uint8_t* to = dst + out;
                const std::uint8_t* from = to - offset;
                if (offset >= 8) {
                    // Each 8-byte step reads only bytes already written; the
                    // overshoot past len lands in the buffer's spare bytes or is
                    // overwritten by the next item.
                    for (std::size_t k = 0; k < len; k += 8)
                        std::memcpy(to + k, from + k, 8);
                } else {
                    for (std::size_t k = 0; k < len; ++k)
                        to[k] = from[k];
                }
                out += len;
            } else {
                if (length - in < 4)
                    return std::nullopt;
                const std::size_t len = ((std::size_t{src[in + 1]} << 8) | src[in + 2]) + kMinRun;
                if (len > kChunkSize - out)
                    return std::nullopt;
                std::memset(dst + out, src[in + 3], len);
                in += 4;
                out += len;
            }
        }
    }
    return out;
}

} // namespace lexiflip::compress
