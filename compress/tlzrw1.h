#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "compress/lzhuf.h"
#include "compress/lzrw1_exception.h"
#include "compress/lzrw1kh.h"

namespace lexiflip::compress {

// Good: LZHUF, slower and smaller. Fast: LZRW1/KH blocks, what the tally uses.
// Auto: let Advise pick one of the two by sampling the input.
enum class TCompressMode { Good = 0, Fast = 1, Auto = 2 };

// Where an operation stands, reported after every chunk.
struct Lzrw1Progress {
    TCompressMode method = TCompressMode::Fast; // Fast or Good
    std::uint64_t bytesIn = 0;
    std::uint64_t bytesOut = 0;
};

// "(LZRW1/KH) Bytes in : 123 Bytes out : 45", the progress line of the component.
std::string progressText(const Lzrw1Progress& progress);

// The tally file's compression component: turns a plain file (or byte buffer)
// into a container and back. A container is a 4-byte identifier saying which
// method made it ("WRZL" for Fast, "!HZL" for Good), the uncompressed size
// (unsigned 32-bit, little-endian), and the method's data: for Fast a sequence
// of blocks, each a 16-bit little-endian length and one LZRW1/KH block of a
// 32768-byte chunk, ending with the first block of a shorter (maybe empty)
// chunk; for Good the LZHUF code stream.
//
// Memory stays bounded whatever the input size: two I/O buffers of 32784 bytes
// per operation, the 4096-entry hash table and the LZH coder's fixed tables.
//
// Failures are thrown as ELzrw1Exception. A failed file operation leaves no new
// output file behind; the output is written under a temporary name beside the
// target and renamed over it only on success, so an existing file of that name
// survives a failure and input and output may be the same file.
class Tlzrw1 {
public:
    static constexpr std::uint32_t kFastIdentifier = 0x4C5A5257; // "WRZL" on disk
    static constexpr std::uint32_t kGoodIdentifier = 0x4C5A4821; // "!HZL" on disk
    static constexpr std::size_t kHeaderSize = 8;
    static constexpr int kDefaultThreshold = 40;
    // Advise does not sample an input this small (three chunks less a byte).
    static constexpr std::uint64_t kSmallInput = 3 * kChunkSize - 1;

    using ProgressCallback = std::function<void(const Lzrw1Progress&)>;
    using TextCallback = std::function<void(const std::string&)>;

    Tlzrw1();
    ~Tlzrw1();
    Tlzrw1(const Tlzrw1&) = delete;
    Tlzrw1& operator=(const Tlzrw1&) = delete;

    const std::string& InputFile() const { return m_inputFile; }
    void setInputFile(std::string name) { m_inputFile = std::move(name); }
    const std::string& OutputFile() const { return m_outputFile; }
    void setOutputFile(std::string name) { m_outputFile = std::move(name); }
    TCompressMode CompressMode() const { return m_compressMode; }
    void setCompressMode(TCompressMode mode) { m_compressMode = mode; }
    // Percent: Advise picks Fast when the sampled blocks are smaller than this
    // share of the sampled chunks.
    int Threshold() const { return m_threshold; }
    void setThreshold(int percent) { m_threshold = percent; }

    // Called after every chunk; the place for a user interface to show the
    // counts and process its pending events. Must not start another operation
    // on this component.
    void setProgressCallback(ProgressCallback callback) { m_onProgress = std::move(callback); }
    // Receives each text a visible component would show: the guess and the
    // recommendation of Advise, the result of Compress.
    void setTextCallback(TextCallback callback) { m_onText = std::move(callback); }
    // The last of those texts.
    const std::string& text() const { return m_text; }

    // Compresses InputFile into OutputFile by CompressMode (asking Advise first
    // when it is Auto; CompressMode stays Auto). Returns the bytes written,
    // header included.
    std::uint64_t Compress();
    // Decodes the container InputFile, of either kind, into OutputFile.
    // Returns the bytes written.
    std::uint64_t Decompress();
    // Fast or Good for InputFile. A small input gets Good without sampling and
    // also sets CompressMode to Good.
    TCompressMode Advise();

    // The same three over byte buffers, for converting the tally in memory.
    // Their messages are the component's stream messages, as no file is named.
    std::string compressBytes(std::string_view input);
    std::string decompressBytes(std::string_view container);
    // The same into a caller's string, whose capacity is reused; on failure
    // it is left empty.
    void compressBytes(std::string_view input, std::string& container);
    void decompressBytes(std::string_view container, std::string& plain);
    TCompressMode adviseBytes(std::string_view input);

private:
    struct Buffers;
    struct Messages;
    class FileOutput;

    TCompressMode resolveMode(TCompressMode requested, const std::function<TCompressMode()>& advise);
    std::uint64_t compressStream(TCompressMode method, std::uint64_t size, ByteSource& in, ByteSink& out,
                                 Buffers& buffers, const Messages& messages);
    std::uint64_t decompressStream(ByteSource& in, ByteSink& out, Buffers& buffers, const Messages& messages);
    TCompressMode adviseFromSamples(std::uint64_t size,
                                    const std::function<std::size_t(std::uint64_t, std::uint8_t*)>& readChunk,
                                    const std::function<Buffers()>& allocate);
    void report(TCompressMode method, std::uint64_t bytesIn, std::uint64_t bytesOut);
    void show(std::string text);

    std::string m_inputFile;
    std::string m_outputFile;
    TCompressMode m_compressMode = TCompressMode::Good;
    int m_threshold = kDefaultThreshold;
    ProgressCallback m_onProgress;
    TextCallback m_onText;
    std::string m_text;

    Lzrw1kh m_lzr;
    std::unique_ptr<Lzhuf> m_lzh;
};

} // namespace lexiflip::compress
