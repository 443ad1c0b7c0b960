#include "compress/tlzrw1.h"

#include "fileio/atomic_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <new>
#include <optional>

namespace lexiflip::compress {

namespace fs = std::filesystem;

namespace {

const std::string kNoBuffers = "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";
const std::string kFastSizeMismatch =
    "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
const std::string kGoodSizeMismatch =
    "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";

void put16(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value)
{
    put16(at, value);
    put16(at + 2, value >> 16);
}

std::uint32_t get32(const std::uint8_t* at)
{
    return std::uint32_t{at[0]} | (std::uint32_t{at[1]} << 8) | (std::uint32_t{at[2]} << 16) |
           (std::uint32_t{at[3]} << 24);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

class FileSource : public ByteSource {
public:
    FileSource(std::FILE* file, std::string errorMessage)
        : m_file(file), m_errorMessage(std::move(errorMessage))
    {
    }

    std::size_t read(std::uint8_t* dst, std::size_t n) override
    {
        const std::size_t got = std::fread(dst, 1, n, m_file);
        if (got < n && std::ferror(m_file))
            throw ELzrw1Exception(m_errorMessage);
        return got;
    }

private:
    std::FILE* m_file;
    std::string m_errorMessage;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : m_bytes(bytes) {}

    std::size_t read(std::uint8_t* dst, std::size_t n) override
    {
        const std::size_t got = std::min(n, m_bytes.size() - m_pos);
        std::copy_n(m_bytes.data() + m_pos, got, reinterpret_cast<char*>(dst));
        m_pos += got;
        return got;
    }

    std::size_t readView(const std::uint8_t*& view, std::uint8_t*, std::size_t n) override
    {
        const std::size_t got = std::min(n, m_bytes.size() - m_pos);
        view = reinterpret_cast<const std::uint8_t*>(m_bytes.data() + m_pos);
        m_pos += got;
        return got;
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

class MemorySink : public ByteSink {
public:
    explicit MemorySink(std::string& bytes) : m_bytes(bytes) {}

    void write(const std::uint8_t* src, std::size_t n) override
    {
        m_bytes.append(reinterpret_cast<const char*>(src), n);
    }

private:
    std::string& m_bytes;
};

// Bytes of a container for `method` that the 32-bit size field can describe.
constexpr std::uint64_t kMaxInput = std::numeric_limits<std::uint32_t>::max();

std::uint64_t percentOf(std::uint64_t part, std::uint64_t whole)
{
    // An empty input has no ratio; it is reported as 0 instead of dividing by zero.
    return whole == 0 ? 0 : part * 100 / whole;
}

} // namespace

std::string progressText(const Lzrw1Progress& progress)
{
    return std::string(progress.method == TCompressMode::Good ? "(LZH)" : "(LZRW1/KH)") +
           " Bytes in : " + std::to_string(progress.bytesIn) +
           " Bytes out : " + std::to_string(progress.bytesOut);
}

// The two I/O buffers of one operation, freed when it ends.
struct Tlzrw1::Buffers {
    std::unique_ptr<std::uint8_t[]> in;
    std::unique_ptr<std::uint8_t[]> out;

    static Buffers allocate(const std::string& failure)
    {
        Buffers buffers{std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[kBufferSize]),
                        std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[kBufferSize])};
        if (!buffers.in || !buffers.out)
            throw ELzrw1Exception(failure);
        return buffers;
    }
};

// The texts an operation fails with: naming the files, or the stream variants
// when it works on byte buffers.
struct Tlzrw1::Messages {
    std::string readShort;      // a header field or block cut short, or unreadable
    std::string readFailedFast; // a read error while compressing
    std::string readFailedGood;
    std::string write;
    std::string badHeader;
    std::string corruptBlock;
    std::string tooLarge;

    static Messages forFiles(const std::string& in, const std::string& out)
    {
        const std::string read = "Lzrw1 : Error reading from input file : " + in;
        return {read,
                read + " (LZRW1/KH)",
                read + " (LZH)",
                "Lzrw1 : Error writing to output file : " + out,
                in + " : Lzrw1 decompression : this file has no valid header !",
                "Lzrw1 (decompression LZRW1/KH) : corrupt block in input file : " + in,
                "Lzrw1 compression : input file is 4 GiB or larger : " + in};
    }

    static Messages forBuffers()
    {
        const std::string read = "Lzrw1 : Error reading from input stream !";
        return {read,
                read,
                read,
                "Lzrw1 : Error writing to output stream !",
                "Lzrw1 decompression : input stream contains no valid header !",
                "Lzrw1 (decompression LZRW1/KH) : corrupt block in input stream !",
                "Lzrw1 compression : input stream is 4 GiB or larger !"};
    }
};

// The output file of one operation, written whole or not at all (see
// fileio::AtomicFile): a failure leaves neither a partial output nor a damaged
// earlier file, and the input may be the target itself. The writer's own
// errors become the component's messages.
class Tlzrw1::FileOutput : public ByteSink {
public:
    FileOutput(const std::string& target, const std::string& openFailure, std::string writeFailure)
        : m_writeFailure(std::move(writeFailure))
    {
        try {
            // The tool writes where its user says, a pipe or a device included.
            m_file.emplace(target, fileio::TargetRule::NamedByUser);
        } catch (const fileio::FileError&) {
            throw ELzrw1Exception(openFailure);
        }
    }

    void write(const std::uint8_t* src, std::size_t n) override
    {
        try {
            m_file->write(src, n);
        } catch (const fileio::FileError&) {
            throw ELzrw1Exception(m_writeFailure);
        }
    }

    void commit()
    {
        try {
            m_file->commit();
        } catch (const fileio::FileError&) {
            throw ELzrw1Exception(m_writeFailure);
        }
    }

private:
    std::optional<fileio::AtomicFile> m_file;
    std::string m_writeFailure;
};

Tlzrw1::Tlzrw1() : m_lzh(std::make_unique<Lzhuf>()) {}

Tlzrw1::~Tlzrw1() = default;

void Tlzrw1::report(TCompressMode method, std::uint64_t bytesIn, std::uint64_t bytesOut)
{
    if (m_onProgress)
        m_onProgress(Lzrw1Progress{method, bytesIn, bytesOut});
}

void Tlzrw1::show(std::string text)
{
    m_text = std::move(text);
    if (m_onText)
        m_onText(m_text);
}

TCompressMode Tlzrw1::resolveMode(TCompressMode requested, const std::function<TCompressMode()>& advise)
{
    if (requested != TCompressMode::Auto)
        return requested;
    const TCompressMode chosen = advise();
    // Advise sets Good for a small input; the component stays in Auto so that
    // the next, larger input is sampled again instead of silently getting Good.
    m_compressMode = TCompressMode::Auto;
    return chosen;
}

std::uint64_t Tlzrw1::compressStream(TCompressMode method, std::uint64_t size, ByteSource& in, ByteSink& out,
                                     Buffers& buffers, const Messages& messages)
{
    if (size > kMaxInput)
        throw ELzrw1Exception(messages.tooLarge);
    std::uint8_t header[kHeaderSize];
    put32(header, method == TCompressMode::Fast ? kFastIdentifier : kGoodIdentifier);
    put32(header + 4, static_cast<std::uint32_t>(size));
    out.write(header, kHeaderSize);
    std::uint64_t written = kHeaderSize;
    std::uint64_t read = 0;

    if (method == TCompressMode::Fast) {
        // Every chunk but the last is full; the last (maybe empty) is what ends
        // the sequence for the reader.
        for (;;) {
            const std::uint8_t* chunk = nullptr;
            const std::size_t got = in.readView(chunk, buffers.in.get(), kChunkSize);
            read += got;
            const std::size_t blockLength = m_lzr.compressChunk(chunk, got, buffers.out.get());
            std::uint8_t length[2];
            put16(length, static_cast<std::uint32_t>(blockLength));
            out.write(length, 2);
            out.write(buffers.out.get(), blockLength);
            written += 2 + blockLength;
            report(method, read, written);
            if (got < kChunkSize)
                break;
        }
    } else {
        InputBuffer input(in, buffers.in.get(), kChunkSize);
        OutputBuffer output(out, buffers.out.get(), kChunkSize);
        input.setOnRefill([&] { report(method, input.bytesRead(), written + output.bytesWritten()); });
        m_lzh->encode(input, output);
        read = input.bytesRead();
        written += output.bytesWritten();
        report(method, read, written);
    }

    // The header promised `size` bytes; an input that changed while it was read
    // would give a container that cannot be decoded.
    if (read != size)
        throw ELzrw1Exception(method == TCompressMode::Fast ? messages.readFailedFast
                                                            : messages.readFailedGood);
    return written;
}

std::uint64_t Tlzrw1::decompressStream(ByteSource& in, ByteSink& out, Buffers& buffers,
                                       const Messages& messages)
{
    std::uint8_t field[4];
    if (in.read(field, 4) != 4)
        throw ELzrw1Exception(messages.readShort);
    const std::uint32_t identifier = get32(field);
    if (identifier != kFastIdentifier && identifier != kGoodIdentifier)
        throw ELzrw1Exception(messages.badHeader);
    if (in.read(field, 4) != 4)
        throw ELzrw1Exception(messages.readShort);
    const std::uint32_t size = get32(field);

    if (identifier == kGoodIdentifier) {
        InputBuffer input(in, buffers.in.get(), kChunkSize);
        OutputBuffer output(out, buffers.out.get(), kChunkSize);
        output.setOnFlush(
            [&] { report(TCompressMode::Good, kHeaderSize + input.bytesRead(), output.bytesWritten()); });
        const std::uint64_t produced = m_lzh->decode(input, output, size);
        report(TCompressMode::Good, kHeaderSize + input.bytesRead(), produced);
        if (produced != size || m_lzh->trailingCode())
            throw ELzrw1Exception(kGoodSizeMismatch);
        return produced;
    }

    std::uint64_t consumed = kHeaderSize;
    std::uint64_t produced = 0;
    for (;;) {
        if (in.read(field, 2) != 2)
            throw ELzrw1Exception(messages.readShort);
        const std::size_t length = std::size_t{field[0]} | (std::size_t{field[1]} << 8);
        // No chunk makes a longer block, and a longer one would not fit the buffer.
        if (length > kMaxBlockSize)
            throw ELzrw1Exception(messages.corruptBlock);
        const std::uint8_t* block = nullptr;
        if (in.readView(block, buffers.in.get(), length) != length)
            throw ELzrw1Exception(messages.readShort);
        const std::optional<std::size_t> chunk = Lzrw1kh::decompressBlock(block, length, buffers.out.get());
        if (!chunk)
            throw ELzrw1Exception(messages.corruptBlock);
        out.write(buffers.out.get(), *chunk);
        consumed += 2 + length;
        produced += *chunk;
        report(TCompressMode::Fast, consumed, produced);
        if (*chunk < kChunkSize)
            break;
    }
    if (produced != size)
        throw ELzrw1Exception(kFastSizeMismatch);
    return produced;
}

TCompressMode
Tlzrw1::adviseFromSamples(std::uint64_t size,
                          const std::function<std::size_t(std::uint64_t, std::uint8_t*)>& readChunk,
                          const std::function<Buffers()>& allocate)
{
    if (size <= kSmallInput) {
        m_compressMode = TCompressMode::Good;
        show("Lzrw1 recommends GOOD compression :  small file !!");
        return TCompressMode::Good;
    }
    Buffers buffers = allocate();
    std::uint64_t chunkBytes = 0;
    std::uint64_t blockBytes = 0;
    // Two samples, from a third and from two thirds into the input, each on a
    // chunk boundary as the chunks of a real compression would lie.
    for (const std::uint64_t at : {size / 3, size * 2 / 3}) {
        const std::size_t got = readChunk(at / kChunkSize * kChunkSize, buffers.in.get());
        chunkBytes += got;
        blockBytes += m_lzr.compressChunk(buffers.in.get(), got, buffers.out.get());
    }
    const std::string percent = std::to_string(percentOf(blockBytes, chunkBytes));
    const auto limit = static_cast<std::int64_t>(chunkBytes) * m_threshold / 100;
    if (static_cast<std::int64_t>(blockBytes) < limit) {
        show("Lzrw1 recommends FAST compression : " + percent + "%.");
        return TCompressMode::Fast;
    }
    show("Lzrw1 recommends GOOD compression : " + percent + "%.");
    return TCompressMode::Good;
}

// ---- files ----

std::uint64_t Tlzrw1::Compress()
{
    const TCompressMode method = resolveMode(m_compressMode, [this] { return Advise(); });
    const Messages messages = Messages::forFiles(m_inputFile, m_outputFile);
    Buffers buffers = Buffers::allocate(kNoBuffers);

    std::error_code ec;
    const std::uint64_t size = fs::file_size(m_inputFile, ec);
    if (ec)
        throw ELzrw1Exception("Lzrw1 compression : Failed to obtain the size of : " + m_inputFile);
    if (size > kMaxInput)
        throw ELzrw1Exception(messages.tooLarge);
    FilePtr input(std::fopen(m_inputFile.c_str(), "rb"));
    if (!input)
        throw ELzrw1Exception("Lzrw1 (de)compression : Failed to open input file : " + m_inputFile);
    FileOutput output(m_outputFile, "Lzrw1 (de)compression : Failed to open output file : " + m_outputFile,
                      messages.write);

    FileSource source(input.get(),
                      method == TCompressMode::Fast ? messages.readFailedFast : messages.readFailedGood);
    const std::uint64_t written = compressStream(method, size, source, output, buffers, messages);
    output.commit();

    show(m_inputFile + " : Lzrw1 : successfully compressed at " + std::to_string(percentOf(written, size)) +
         "%");
    return written;
}

std::uint64_t Tlzrw1::Decompress()
{
    const Messages messages = Messages::forFiles(m_inputFile, m_outputFile);
    Buffers buffers = Buffers::allocate(kNoBuffers);
    FilePtr input(std::fopen(m_inputFile.c_str(), "rb"));
    if (!input)
        throw ELzrw1Exception("Lzrw1 (de)compression : Failed to open input file : " + m_inputFile);
    FileOutput output(m_outputFile, "Lzrw1 (de)compression : Failed to open output file : " + m_outputFile,
                      messages.write);

    FileSource source(input.get(), messages.readShort);
    const std::uint64_t written = decompressStream(source, output, buffers, messages);
    output.commit();
    return written;
}

TCompressMode Tlzrw1::Advise()
{
    show("Guessing the best compression mode for : " + m_inputFile);
    FilePtr input(std::fopen(m_inputFile.c_str(), "rb"));
    if (!input)
        throw ELzrw1Exception("Lzrw1 advise : can open input file : " + m_inputFile);
    std::error_code ec;
    const std::uint64_t size = fs::file_size(m_inputFile, ec);
    if (ec)
        throw ELzrw1Exception("Lzrw1 advise : can not get the size of : " + m_inputFile);

    const std::string readError = "Lzrw1 advise : read error on input file : " + m_inputFile;
    const auto readChunk = [&](std::uint64_t offset, std::uint8_t* dst) {
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<long>::max()) ||
            std::fseek(input.get(), static_cast<long>(offset), SEEK_SET) != 0)
            throw ELzrw1Exception(readError);
        const std::size_t got = std::fread(dst, 1, kChunkSize, input.get());
        // Nothing there means the file shrank under us: no sample to judge by.
        if (std::ferror(input.get()) || got == 0)
            throw ELzrw1Exception(readError);
        return got;
    };
    return adviseFromSamples(size, readChunk,
                             [] { return Buffers::allocate("Lzrw1 advise : Error getting I/O buffers"); });
}

// ---- byte buffers ----

std::string Tlzrw1::compressBytes(std::string_view input)
{
    std::string container;
    compressBytes(input, container);
    return container;
}

void Tlzrw1::compressBytes(std::string_view input, std::string& container)
{
    container.clear();
    const TCompressMode method = resolveMode(m_compressMode, [&] { return adviseBytes(input); });
    const Messages messages = Messages::forBuffers();
    Buffers buffers = Buffers::allocate(kNoBuffers);
    MemorySource source(input);
    MemorySink sink(container);
    std::uint64_t written = 0;
    try {
        written = compressStream(method, input.size(), source, sink, buffers, messages);
    } catch (...) {
        container.clear();
        throw;
    }
    show("Lzrw1 : successfully compressed at " + std::to_string(percentOf(written, input.size())) + "%");
}

std::string Tlzrw1::decompressBytes(std::string_view container)
{
    std::string plain;
    decompressBytes(container, plain);
    return plain;
}

void Tlzrw1::decompressBytes(std::string_view container, std::string& plain)
{
    plain.clear();
    const Messages messages = Messages::forBuffers();
    Buffers buffers = Buffers::allocate(kNoBuffers);
    if (container.size() >= kHeaderSize) {
        // Room for the promised size, but never more than the container could
        // expand to (no method makes more than 1024 bytes of one), so that a
        // forged size field cannot make us reserve gigabytes.
        const std::uint64_t promised = get32(reinterpret_cast<const std::uint8_t*>(container.data()) + 4);
        plain.reserve(
            static_cast<std::size_t>(std::min<std::uint64_t>(promised, container.size() * 1024ull)));
    }
    MemorySource source(container);
    MemorySink sink(plain);
    try {
        decompressStream(source, sink, buffers, messages);
    } catch (...) {
        plain.clear();
        throw;
    }
}

TCompressMode Tlzrw1::adviseBytes(std::string_view input)
{
    const auto readChunk = [&](std::uint64_t offset, std::uint8_t* dst) {
        const std::size_t got = std::min<std::size_t>(kChunkSize, input.size() - offset);
        std::copy_n(input.data() + offset, got, reinterpret_cast<char*>(dst));
        return got;
    };
    return adviseFromSamples(input.size(), readChunk,
                             [] { return Buffers::allocate("Lzrw1 advise : Error getting I/O buffers"); });
}

} // namespace lexiflip::compress
