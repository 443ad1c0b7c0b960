#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>

namespace lexiflip::compress {

// Where an operation's input comes from: a file or a byte buffer.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes; fewer only at the end of the input. Throws
    // ELzrw1Exception on a read error.
    virtual std::size_t read(std::uint8_t* dst, std::size_t n) = 0;

    // Like read, but the bytes may be left where they already are: `view` is
    // pointed at them, in `buffer` or in the source's own memory, valid until
    // the next call. Sources held in memory override it to skip a copy.
    virtual std::size_t readView(const std::uint8_t*& view, std::uint8_t* buffer, std::size_t n)
    {
        view = buffer;
        return read(buffer, n);
    }
};

// Where an operation's output goes. Throws ELzrw1Exception when not all bytes
// could be written.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(const std::uint8_t* src, std::size_t n) = 0;
};

// Byte-at-a-time reading for the LZH coder through one of the operation's I/O
// buffers, refilled a chunk at a time. onRefill runs after every refill, so the
// caller can report progress once per chunk.
class InputBuffer {
public:
    InputBuffer(ByteSource& source, std::uint8_t* buffer, std::size_t capacity)
        : m_source(source), m_buffer(buffer), m_capacity(capacity)
    {
    }

    void setOnRefill(std::function<void()> onRefill) { m_onRefill = std::move(onRefill); }

    // The next byte, or -1 at the end of the input.
    int get()
    {
        if (m_pos == m_end && !refill())
            return -1;
        return m_buffer[m_pos++];
    }

    // Bytes taken from the source so far.
    std::uint64_t bytesRead() const { return m_total; }

private:
    bool refill();

    ByteSource& m_source;
    std::uint8_t* m_buffer;
    std::size_t m_capacity;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::uint64_t m_total = 0;
    bool m_atEnd = false;
    std::function<void()> m_onRefill;
};

// Byte-at-a-time writing for the LZH coder through the other I/O buffer.
// onFlush runs after every full buffer written.
class OutputBuffer {
public:
    OutputBuffer(ByteSink& sink, std::uint8_t* buffer, std::size_t capacity)
        : m_sink(sink), m_buffer(buffer), m_capacity(capacity)
    {
    }

    void setOnFlush(std::function<void()> onFlush) { m_onFlush = std::move(onFlush); }

    void put(std::uint8_t byte)
    {
        m_buffer[m_pos++] = byte;
        if (m_pos == m_capacity)
            flush();
    }

    // Writes what is buffered.
    void flush();

    // Bytes handed to put() so far.
    std::uint64_t bytesWritten() const { return m_total + m_pos; }

private:
    ByteSink& m_sink;
    std::uint8_t* m_buffer;
    std::size_t m_capacity;
    std::size_t m_pos = 0;
    std::uint64_t m_total = 0;
    std::function<void()> m_onFlush;
};

} // namespace lexiflip::compress
