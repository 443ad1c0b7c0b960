#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace lexiflip::compress {

// The block method works on chunks of this many input bytes; each chunk becomes
// one block that decodes on its own.
inline constexpr std::size_t kChunkSize = 32768;
// Every I/O buffer is a chunk plus 16 spare bytes: the compressor may run up to
// six bytes past the chunk length before it falls back to a stored block, and
// the decoder writes in whole blocks that may run past the chunk's end: up to
// fifteen bytes for a stretch of literals (16 bytes are always stored) and up
// to thirteen for a copy (one from 8 or more bytes back stores 16 bytes, or 24
// for lengths 17 and 18).
inline constexpr std::size_t kBufferSize = kChunkSize + 16;
// A stored chunk is its bytes behind one flag byte, the longest block there is.
inline constexpr std::size_t kMaxBlockSize = kChunkSize + 1;

// Raised when the engine cannot get its hash table.
class ELzrw1KHCompressor : public std::runtime_error {
public:
    explicit ELzrw1KHCompressor(const std::string& message) : std::runtime_error(message) {}
};

// The LZRW1/KH block engine: one chunk of at most kChunkSize bytes in, one
// block out, and back. The same chunk always gives the same block, because the
// tally file format is defined by these bytes.
//
// A block is a flag byte (kFlagCompressed or kFlagStored) and then either the
// chunk itself or groups of a 16-bit control word (high byte first, bits used
// from the top, 1 = copy or run) and up to 16 items: a literal byte, a 2-byte
// copy (offset * 16 + length - 3, offset 1..4095, length 3..18) or a 4-byte run
// (0, length - 16 high and low, the byte; length 16..4095).
class Lzrw1kh {
public:
    static constexpr std::uint8_t kFlagCompressed = 0x40;
    static constexpr std::uint8_t kFlagStored = 0x80;
    static constexpr std::size_t kHashEntries = 4096;

    // Allocates the 4096-entry hash table; ELzrw1KHCompressor when there is no memory.
    Lzrw1kh();

    // Compresses src[0, length) (length <= kChunkSize) into dst, which must hold
    // kBufferSize bytes, and returns the block length (at most length + 1).
    std::size_t compressChunk(const std::uint8_t* src, std::size_t length, std::uint8_t* dst);

    // Decodes a block of `length` bytes into dst, which must hold kBufferSize
    // bytes, and returns the chunk length. A corrupt block (cut inside an item,
    // an unknown flag, a copy reaching before the chunk's start, output beyond
    // kChunkSize) gives nullopt; nothing outside src[0, length) is read and
    // nothing outside dst[0, kBufferSize) is written.
    static std::optional<std::size_t> decompressBlock(const std::uint8_t* src, std::size_t length,
                                                      std::uint8_t* dst);

private:
    std::unique_ptr<std::uint16_t[]> m_hashTable;
};

} // namespace lexiflip::compress
