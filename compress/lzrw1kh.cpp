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

// The table slot of the three bytes b0, b1, b2.
inline unsigned hashOf(std::uint32_t b0, std::uint32_t b1, std::uint32_t b2)
{
    const std::uint32_t key = (((b0 << 4) ^ b1) << 4) ^ b2;
    return ((key * 40543u) >> 4) & 0x0FFFu;
}

inline std::uint32_t load32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big)
        v = ((v & 0xFFu) << 24) | ((v & 0xFF00u) << 8) | ((v >> 8) & 0xFF00u) | (v >> 24);
    return v;
}

inline std::uint64_t load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Bytes that agree at the start of two 8-byte words loaded from memory.
inline std::size_t agreeingBytes(std::uint64_t diff)
{
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<std::size_t>(std::countr_zero(diff) >> 3);
    else
        return static_cast<std::size_t>(std::countl_zero(diff) >> 3);
}

// Length of the common prefix of a and b, at most `limit` bytes.
inline std::size_t matchLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit)
{
    std::size_t n = 0;
    // Whole words while at least 8 bytes may still match: the first differing
    // bit tells how many bytes agreed.
    while (n + 8 <= limit) {
        const std::uint64_t diff = load64(a + n) ^ load64(b + n);
        if (diff != 0)
            return n + agreeingBytes(diff);
        n += 8;
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

// Number of bytes equal to `byte` from p on, at most `limit`.
inline std::size_t runLength(const std::uint8_t* p, std::uint8_t byte, std::size_t limit)
{
    const std::uint64_t pattern = 0x0101010101010101ull * byte;
    std::size_t n = 0;
    while (n + 8 <= limit) {
        const std::uint64_t diff = load64(p + n) ^ pattern;
        if (diff != 0)
            return n + agreeingBytes(diff);
        n += 8;
    }
    while (n < limit && p[n] == byte)
        ++n;
    return n;
}

// A copy item: len (3..18) bytes from offset back, with the effect of a byte by
// byte copy, so that a copy may overlap its own output. Each 8-byte step reads
// only bytes already written; up to 24 bytes are stored, and what lands past
// len is in the buffer's spare bytes or is overwritten by the next item.
inline void copyBack(std::uint8_t* to, std::size_t offset, std::size_t len)
{
    const std::uint8_t* from = to - offset;
    if (offset >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + 8, from + 8, 8);
        if (len > 16)
            std::memcpy(to + 16, from + 16, 8);
    } else {
        for (std::size_t k = 0; k < len; ++k)
            to[k] = from[k];
    }
}

// A copy item: offset x 16 + (length - 3), high byte first.
inline void putCopyItem(std::uint8_t* at, std::size_t offset, std::size_t len)
{
    const std::size_t value = offset * 16 + (len - kMinCopy);
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
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

// This loop stays whole on purpose: it is one pass over the block, and its
// state (read and write positions, the control word and its item count) lives
// in registers. Split into calls, that state would have to travel through
// memory on every item, and this loop is the codec's hot path.
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
        const std::size_t left = length - p;
        const std::uint8_t byte = src[p];

        if (left < 4) {
            // The last bytes of the chunk: too few for a run, and a copy only of
            // exactly the three that remain.
            if (left == kMinCopy) {
                const unsigned slot = hashOf(byte, src[p + 1], src[p + 2]);
                const std::size_t candidate = table[slot];
                table[slot] = static_cast<std::uint16_t>(p);
                if (p - candidate <= kMaxOffset && std::memcmp(src + candidate, src + p, kMinCopy) == 0) {
                    putCopyItem(dst + out, p - candidate, kMinCopy);
                    out += 2;
                    word = (word << 1) | 1u;
                    p += kMinCopy;
                    continue;
                }
            }
            dst[out++] = byte;
            word <<= 1;
            ++p;
            continue;
        }

        const std::uint32_t next = load32(src + p); // the hash uses the first three
        const auto second = static_cast<std::uint8_t>(next >> 8);

        // A run is only worth its 4 bytes from 16 equal bytes on; shorter runs
        // go through the copy search like any other bytes.
        if (second == byte) {
            const std::size_t run = 2 + runLength(src + p + 2, byte, std::min(kMaxRun, left) - 2);
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

        const unsigned slot = hashOf(byte, second, static_cast<std::uint8_t>(next >> 16));
        const std::size_t candidate = table[slot];
        table[slot] = static_cast<std::uint16_t>(p);
        // An empty slot (0xFFFF) lies further back than any offset, as p < 0xFFFF.
        // Distance and first three bytes are judged together, in one branch that
        // stays predictable where slots are full of unrelated strings; an empty
        // slot compares against the chunk start, which is always readable.
        const std::size_t at = candidate < p ? candidate : 0;
        const bool near = p - candidate <= kMaxOffset;
        const bool sameStart = ((load32(src + at) ^ next) & 0x00FFFFFFu) == 0;
        if (near & sameStart) {
            std::size_t len;
            if (left >= kMinCopy + 16) {
                // The longest copy needs 15 more bytes: two words cover them.
                const std::uint8_t* a = src + candidate + kMinCopy;
                const std::uint8_t* b = src + p + kMinCopy;
                const std::uint64_t diff = load64(a) ^ load64(b);
                if (diff != 0) {
                    len = kMinCopy + agreeingBytes(diff);
                } else {
                    const std::uint64_t diff2 = load64(a + 8) ^ load64(b + 8);
                    len = std::min(kMaxCopy, kMinCopy + 8 + (diff2 != 0 ? agreeingBytes(diff2) : 8));
                }
            } else {
                len = kMinCopy + matchLength(src + candidate + kMinCopy, src + p + kMinCopy, left - kMinCopy);
                len = std::min(len, kMaxCopy);
            }
            putCopyItem(dst + out, p - candidate, len);
            out += 2;
            word = (word << 1) | 1u;
            p += len;
            continue;
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

// Like compressChunk, one whole pass over the block with its positions and
// control word in registers; keep it in one piece for speed.
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
        // The control bits of the items still to come, in the top of the word.
        std::uint32_t word = ((std::uint32_t{src[in]} << 8) | src[in + 1]) << 16;
        in += 2;
        unsigned items = kItemsPerControlWord;

        // With room for sixteen of the longest items in both directions (and
        // for the 16-byte literal copy after fifteen 4-byte runs), the group
        // needs no bounds test per item; only a run can use up the output
        // room, and after one the careful loop below takes over.
        if (length - in >= kItemsPerControlWord * 4 + 16 &&
            kChunkSize - out >= kItemsPerControlWord * kMaxCopy) {
            while (items > 0) {
                if ((word & 0x80000000u) == 0) {
                    const unsigned n = std::min(static_cast<unsigned>(std::countl_zero(word)), items);
                    std::memcpy(dst + out, src + in, 16);
                    in += n;
                    out += n;
                    items -= n;
                    word <<= n;
                    continue;
                }
                word <<= 1;
                --items;
                const std::size_t offset = (std::size_t{src[in]} << 4) | (src[in + 1] >> 4);
                if (offset != 0) {
                    const std::size_t len = (src[in + 1] & 0x0Fu) + kMinCopy;
                    in += 2;
                    if (offset > out)
                        return std::nullopt;
                    copyBack(dst + out, offset, len);
                    out += len;
                } else {
                    const std::size_t len = ((std::size_t{src[in + 1]} << 8) | src[in + 2]) + kMinRun;
                    if (len > kChunkSize - out)
                        return std::nullopt;
                    std::memset(dst + out, src[in + 3], len);
                    in += 4;
                    out += len;
                    if (kChunkSize - out < kItemsPerControlWord * kMaxCopy)
                        break;
                }
            }
        }

        while (items > 0 && in < length) {
            if ((word & 0x80000000u) == 0) {
                // A stretch of literals, copied at once.
                std::size_t n = std::min<std::size_t>(static_cast<unsigned>(std::countl_zero(word)), items);
                n = std::min(n, length - in);
                if (n > kChunkSize - out)
                    return std::nullopt;
                // n <= 16 and out + n <= kChunkSize: 16 bytes always fit the buffer.
                if (length - in >= 16)
                    std::memcpy(dst + out, src + in, 16);
                else
                    std::memcpy(dst + out, src + in, n);
                in += n;
                out += n;
                items -= static_cast<unsigned>(n);
                word <<= n;
                continue;
            }
            word <<= 1;
            --items;
            if (length - in < 2)
                return std::nullopt;
            const std::size_t offset = (std::size_t{src[in]} << 4) | (src[in + 1] >> 4);
            if (offset != 0) {
                const std::size_t len = (src[in + 1] & 0x0Fu) + kMinCopy;
                in += 2;
                if (offset > out || len > kChunkSize - out)
                    return std::nullopt;
                copyBack(dst + out, offset, len);
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
