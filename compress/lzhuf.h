#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "compress/io_buffer.h"

namespace lexiflip::compress {

// The LZHUF coder behind the component's Good mode: LZSS over a 4096-byte ring
// with a 60-byte look-ahead (matches of 3 to 60 bytes, found with binary search
// trees), literals and match lengths coded by one adaptive Huffman tree, and
// match positions coded with their upper 6 bits by a fixed prefix table and the
// lower 6 bits plain. Bits are written most significant first. The container
// stores the uncompressed size, so the code stream carries no length of its own.
class Lzhuf {
public:
    static constexpr int kRingSize = 4096;
    static constexpr int kLookAhead = 60;
    // Matches of this length or shorter are sent as literals.
    static constexpr int kThreshold = 2;

    Lzhuf() = default;

    // Codes every byte of `in` onto `out` (flushed at the end).
    void encode(InputBuffer& in, OutputBuffer& out);

    // Decodes until at least `size` bytes were produced or the code stream ran
    // out, and returns the number produced (flushed to `out`). A corrupt stream
    // cannot make it read or write outside its tables; it only gives a count
    // that differs from `size`, or leaves trailing code behind.
    std::uint64_t decode(InputBuffer& in, OutputBuffer& out, std::uint64_t size);

    // After a decode that produced its size: whether code was left over (bits
    // other than the zero padding of the last byte, or further bytes), which
    // means the stream holds more than the size said.
    bool trailingCode() const { return m_trailingCode; }

private:
    static constexpr int kSymbols = 256 - kThreshold + kLookAhead; // literals and lengths
    static constexpr int kNodes = kSymbols * 2 - 1;
    static constexpr int kRoot = kNodes - 1;
    static constexpr unsigned kMaxFrequency = 0x8000;
    static constexpr int kNil = kRingSize; // no tree node

    // Adaptive Huffman tree.
    void startHuffman();
    void rebuildHuffman();
    void updateHuffman(int symbol);
    void encodeSymbol(int symbol);
    void encodePosition(unsigned position);
    int decodeSymbol();
    unsigned decodePosition();

    // Match search trees over the ring.
    void initTree();
    void insertNode(int r);
    void deleteNode(int p);

    // Bit I/O, most significant bit first.
    void putBits(int count, unsigned bits);
    void flushBits();
    unsigned getBit();
    unsigned getByte();

    // Ring of recent bytes; the first kLookAhead - 1 bytes are mirrored behind
    // its end so that a look-ahead string never has to wrap.
    std::array<std::uint8_t, kRingSize + kLookAhead - 1> m_ring{};
    std::array<int, kRingSize + 1> m_left{};
    std::array<int, kRingSize + 257> m_right{}; // the last 256 are the roots, one per first byte
    std::array<int, kRingSize + 1> m_dad{};
    int m_matchPosition = 0;
    int m_matchLength = 0;

    std::array<unsigned, kNodes + 1> m_freq{};     // the extra entry is a sentinel
    std::array<int, kNodes + kSymbols> m_parent{}; // of nodes, then of leaves (symbol + kNodes)
    std::array<int, kNodes> m_son{};               // first child (the second is next to it), or leaf

    OutputBuffer* m_out = nullptr;
    InputBuffer* m_in = nullptr;
    std::uint32_t m_bitBuffer = 0;
    int m_bitCount = 0;
    bool m_inputEnded = false;
    bool m_trailingCode = false;
};

} // namespace lexiflip::compress
