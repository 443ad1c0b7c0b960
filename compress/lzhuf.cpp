#include "compress/lzhuf.h"

#include <algorithm>
#include <utility>

namespace lexiflip::compress {

namespace {

constexpr int kPositionGroups = 64;

// Code lengths of the upper 6 bits of a match position: near positions are
// common and get short codes. Together they form a complete prefix code.
constexpr std::array<std::uint8_t, kPositionGroups> kPositionLength = [] {
    std::array<std::uint8_t, kPositionGroups> len{};
    int i = 0;
    for (const auto& [count, bits] : {std::pair{1, 3}, {3, 4}, {8, 5}, {12, 6}, {24, 7}, {16, 8}})
        for (int k = 0; k < count; ++k)
            len[i++] = static_cast<std::uint8_t>(bits);
    return len;
}();

// The codes themselves, assigned in increasing order and left-aligned in a byte.
constexpr std::array<std::uint8_t, kPositionGroups> kPositionCode = [] {
    std::array<std::uint8_t, kPositionGroups> code{};
    unsigned next = 0;
    for (int i = 0; i < kPositionGroups; ++i) {
        if (i > 0)
            next = (next + 1) << (kPositionLength[i] - kPositionLength[i - 1]);
        code[i] = static_cast<std::uint8_t>(next << (8 - kPositionLength[i]));
    }
    return code;
}();

// For the decoder: which group a byte of the stream starts with, and its length.
struct PositionDecodeTable {
    std::array<std::uint8_t, 256> group{};
    std::array<std::uint8_t, 256> length{};
};

constexpr PositionDecodeTable kPositionDecode = [] {
    PositionDecodeTable t{};
    for (int i = 0; i < kPositionGroups; ++i) {
        const int span = 1 << (8 - kPositionLength[i]);
        for (int k = 0; k < span; ++k) {
            t.group[kPositionCode[i] + k] = static_cast<std::uint8_t>(i);
            t.length[kPositionCode[i] + k] = kPositionLength[i];
        }
    }
    return t;
}();

} // namespace

// ---- bit I/O ----

void Lzhuf::putBits(int count, unsigned bits)
{
    // At most 8 bits are pending between calls, so 24 fit in the 32-bit buffer.
    while (count > 0) {
        const int take = std::min(count, 16);
        count -= take;
        m_bitBuffer = (m_bitBuffer << take) | ((bits >> count) & ((1u << take) - 1));
        m_bitCount += take;
        while (m_bitCount >= 8) {
            m_bitCount -= 8;
            m_out->put(static_cast<std::uint8_t>(m_bitBuffer >> m_bitCount));
        }
    }
}

void Lzhuf::flushBits()
{
    if (m_bitCount > 0)
        m_out->put(static_cast<std::uint8_t>(m_bitBuffer << (8 - m_bitCount)));
    m_bitCount = 0;
    m_bitBuffer = 0;
}

unsigned Lzhuf::getBit()
{
    // Bytes are taken only when a bit is needed, so the decoder never asks for
    // more than the encoder wrote; asking past the end marks a cut stream.
    if (m_bitCount == 0) {
        const int byte = m_in->get();
        if (byte < 0) {
            m_inputEnded = true;
            return 0;
        }
        m_bitBuffer = static_cast<unsigned>(byte);
        m_bitCount = 8;
    }
    --m_bitCount;
    return (m_bitBuffer >> m_bitCount) & 1u;
}

unsigned Lzhuf::getByte()
{
    unsigned byte = 0;
    for (int i = 0; i < 8; ++i)
        byte = (byte << 1) | getBit();
    return byte;
}

// ---- adaptive Huffman tree ----
//
// Nodes sit in m_freq/m_son ordered by frequency, leaves first; the children of
// an inner node are two neighbours, the first at m_son, so the bit that leads to
// a node is the parity of its index. The root is the last node.

void Lzhuf::startHuffman()
{
    for (int i = 0; i < kSymbols; ++i) {
        m_freq[i] = 1;
        m_son[i] = i + kNodes;
        m_parent[i + kNodes] = i;
    }
    for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
        m_freq[j] = m_freq[i] + m_freq[i + 1];
        m_son[j] = i;
        m_parent[i] = m_parent[i + 1] = j;
    }
    m_freq[kNodes] = 0xFFFF;
    m_parent[kRoot] = 0;
}

// Halves all frequencies (keeping them above zero) and rebuilds the tree, so
// that the counts never overflow and recent data weighs more.
void Lzhuf::rebuildHuffman()
{
    int j = 0;
    for (int i = 0; i < kNodes; ++i) {
        if (m_son[i] >= kNodes) {
            m_freq[j] = (m_freq[i] + 1) / 2;
            m_son[j] = m_son[i];
            ++j;
        }
    }
    for (int i = 0, k = kSymbols; k < kNodes; i += 2, ++k) {
        const unsigned f = m_freq[i] + m_freq[i + 1];
        m_freq[k] = f;
        int at = k - 1;
        while (f < m_freq[at])
            --at;
        ++at;
        std::copy_backward(m_freq.begin() + at, m_freq.begin() + k, m_freq.begin() + k + 1);
        m_freq[at] = f;
        std::copy_backward(m_son.begin() + at, m_son.begin() + k, m_son.begin() + k + 1);
        m_son[at] = i;
    }
    for (int i = 0; i < kNodes; ++i) {
        const int k = m_son[i];
        if (k >= kNodes)
            m_parent[k] = i;
        else
            m_parent[k] = m_parent[k + 1] = i;
    }
}

// Counts one more occurrence of `symbol`, swapping nodes upwards so that the
// order by frequency holds again.
void Lzhuf::updateHuffman(int symbol)
{
    if (m_freq[kRoot] == kMaxFrequency)
        rebuildHuffman();
    int c = m_parent[symbol + kNodes];
    do {
        const unsigned k = ++m_freq[c];
        int l = c + 1;
        if (k > m_freq[l]) {
            while (k > m_freq[++l]) {
            }
            --l;
            m_freq[c] = m_freq[l];
            m_freq[l] = k;

            const int i = m_son[c];
            m_parent[i] = l;
            if (i < kNodes)
                m_parent[i + 1] = l;

            const int j = m_son[l];
            m_son[l] = i;
            m_parent[j] = c;
            if (j < kNodes)
                m_parent[j + 1] = c;
            m_son[c] = j;

            c = l;
        }
        c = m_parent[c];
    } while (c != 0);
}

void Lzhuf::encodeSymbol(int symbol)
{
    // The path is collected leaf to root and sent root first. It is kept whole
    // however deep the tree grows, where a 16-bit code word would drop bits.
    std::array<std::uint8_t, kNodes> path;
    int depth = 0;
    for (int k = m_parent[symbol + kNodes]; k != kRoot; k = m_parent[k])
        path[depth++] = static_cast<std::uint8_t>(k & 1);
    while (depth > 0) {
        const int take = std::min(depth, 16);
        unsigned bits = 0;
        for (int i = 0; i < take; ++i)
            bits = (bits << 1) | path[--depth];
        putBits(take, bits);
    }
    updateHuffman(symbol);
}

void Lzhuf::encodePosition(unsigned position)
{
    const unsigned group = position >> 6;
    putBits(kPositionLength[group], kPositionCode[group] >> (8 - kPositionLength[group]));
    putBits(6, position & 0x3Fu);
}

int Lzhuf::decodeSymbol()
{
    int c = m_son[kRoot];
    while (c < kNodes)
        c = m_son[c + static_cast<int>(getBit())];
    c -= kNodes;
    updateHuffman(c);
    return c;
}

unsigned Lzhuf::decodePosition()
{
    // The first byte holds the group's code and the first bits of the low part.
    unsigned i = getByte();
    const unsigned upper = unsigned{kPositionDecode.group[i]} << 6;
    for (int extra = kPositionDecode.length[i] - 2; extra > 0; --extra)
        i = (i << 1) | getBit();
    return upper | (i & 0x3Fu);
}

// ---- match search ----
//
// One binary tree per first byte holds the strings starting at the ring
// positions inside the window; inserting the string at r also finds the longest
// earlier match for it (the nearest one among equally long matches).

void Lzhuf::initTree()
{
    for (int i = kRingSize + 1; i <= kRingSize + 256; ++i)
        m_right[i] = kNil;
    for (int i = 0; i < kRingSize; ++i)
        m_dad[i] = kNil;
}

void Lzhuf::insertNode(int r)
{
    const std::uint8_t* key = &m_ring[r];
    int p = kRingSize + 1 + key[0];
    int cmp = 1;
    m_right[r] = m_left[r] = kNil;
    m_matchLength = 0;
    for (;;) {
        if (cmp >= 0) {
            if (m_right[p] == kNil) {
                m_right[p] = r;
                m_dad[r] = p;
                return;
            }
            p = m_right[p];
        } else {
            if (m_left[p] == kNil) {
                m_left[p] = r;
                m_dad[r] = p;
                return;
            }
            p = m_left[p];
        }
        int i = 1;
        for (; i < kLookAhead; ++i) {
            cmp = key[i] - m_ring[p + i];
            if (cmp != 0)
                break;
        }
        if (i > kThreshold) {
            const int distance = ((r - p) & (kRingSize - 1)) - 1;
            if (i > m_matchLength) {
                m_matchPosition = distance;
                m_matchLength = i;
                if (i >= kLookAhead)
                    break;
            } else if (i == m_matchLength && distance < m_matchPosition) {
                m_matchPosition = distance;
            }
        }
    }
    // A full-length match: r replaces p in the tree, p's string being older.
    m_dad[r] = m_dad[p];
    m_left[r] = m_left[p];
    m_right[r] = m_right[p];
    m_dad[m_left[p]] = r;
    m_dad[m_right[p]] = r;
    if (m_right[m_dad[p]] == p)
        m_right[m_dad[p]] = r;
    else
        m_left[m_dad[p]] = r;
    m_dad[p] = kNil;
}

void Lzhuf::deleteNode(int p)
{
    if (m_dad[p] == kNil)
        return;
    int q;
    if (m_right[p] == kNil) {
        q = m_left[p];
    } else if (m_left[p] == kNil) {
        q = m_right[p];
    } else {
        q = m_left[p];
        if (m_right[q] != kNil) {
            do {
                q = m_right[q];
            } while (m_right[q] != kNil);
            m_right[m_dad[q]] = m_left[q];
            m_dad[m_left[q]] = m_dad[q];
            m_left[q] = m_left[p];
            m_dad[m_left[p]] = q;
        }
        m_right[q] = m_right[p];
        m_dad[m_right[p]] = q;
    }
    m_dad[q] = m_dad[p];
    if (m_right[m_dad[p]] == p)
        m_right[m_dad[p]] = q;
    else
        m_left[m_dad[p]] = q;
    m_dad[p] = kNil;
}

// ---- the two directions ----

void Lzhuf::encode(InputBuffer& in, OutputBuffer& out)
{
    m_in = &in;
    m_out = &out;
    m_bitBuffer = 0;
    m_bitCount = 0;

    constexpr int mask = kRingSize - 1;
    int s = 0;
    int r = kRingSize - kLookAhead;
    // The ring starts as spaces on both sides; the decoder starts the same way,
    // so early matches may reach into them.
    std::fill(m_ring.begin(), m_ring.end(), static_cast<std::uint8_t>(' '));

    int len = 0;
    for (int c; len < kLookAhead && (c = in.get()) >= 0; ++len)
        m_ring[r + len] = static_cast<std::uint8_t>(c);
    // An empty input has no code at all.
    if (len == 0) {
        out.flush();
        return;
    }

    startHuffman();
    initTree();
    for (int i = 1; i <= kLookAhead; ++i)
        insertNode(r - i);
    insertNode(r);

    do {
        if (m_matchLength > len)
            m_matchLength = len;
        if (m_matchLength <= kThreshold) {
            m_matchLength = 1;
            encodeSymbol(m_ring[r]);
        } else {
            encodeSymbol(255 - kThreshold + m_matchLength);
            encodePosition(static_cast<unsigned>(m_matchPosition));
        }
        const int consumed = m_matchLength;
        int i = 0;
        for (int c; i < consumed && (c = in.get()) >= 0; ++i) {
            deleteNode(s);
            m_ring[s] = static_cast<std::uint8_t>(c);
            if (s < kLookAhead - 1)
                m_ring[s + kRingSize] = static_cast<std::uint8_t>(c);
            s = (s + 1) & mask;
            r = (r + 1) & mask;
            insertNode(r);
        }
        // At the end of the input the look-ahead shrinks instead.
        for (; i < consumed; ++i) {
            deleteNode(s);
            s = (s + 1) & mask;
            r = (r + 1) & mask;
            if (--len > 0)
                insertNode(r);
        }
    } while (len > 0);

    flushBits();
    out.flush();
}

std::uint64_t Lzhuf::decode(InputBuffer& in, OutputBuffer& out, std::uint64_t size)
{
    m_in = &in;
    m_out = &out;
    m_bitBuffer = 0;
    m_bitCount = 0;
    m_inputEnded = false;
    m_trailingCode = false;

    constexpr int mask = kRingSize - 1;
    std::fill(m_ring.begin(), m_ring.end(), static_cast<std::uint8_t>(' '));
    int r = kRingSize - kLookAhead;
    std::uint64_t count = 0;
    if (size > 0)
        startHuffman();
    while (count < size) {
        const int c = decodeSymbol();
        if (m_inputEnded)
            break;
        if (c < 256) {
            out.put(static_cast<std::uint8_t>(c));
            m_ring[r] = static_cast<std::uint8_t>(c);
            r = (r + 1) & mask;
            ++count;
            continue;
        }
        const int from = (r - static_cast<int>(decodePosition()) - 1) & mask;
        if (m_inputEnded)
            break;
        const int len = c - 255 + kThreshold;
        for (int k = 0; k < len; ++k) {
            const std::uint8_t byte = m_ring[(from + k) & mask];
            out.put(byte);
            m_ring[r] = byte;
            r = (r + 1) & mask;
            ++count;
        }
    }
    // The encoder ends with at most seven zero bits of padding; anything more is
    // code for bytes beyond `size`.
    if (count == size)
        m_trailingCode = (m_bitBuffer & ((1u << m_bitCount) - 1)) != 0 || in.get() >= 0;
    out.flush();
    return count;
}

} // namespace lexiflip::compress
