#include "compress/io_buffer.h"

namespace lexiflip::compress {

bool InputBuffer::refill()
{
    if (m_atEnd)
        return false;
    m_pos = 0;
    m_end = m_source.read(m_buffer, m_capacity);
    m_total += m_end;
    if (m_end < m_capacity)
        m_atEnd = true;
    if (m_onRefill)
        m_onRefill();
    return m_end > 0;
}

void OutputBuffer::flush()
{
    if (m_pos == 0)
        return;
    m_sink.write(m_buffer, m_pos);
    m_total += m_pos;
    m_pos = 0;
    if (m_onFlush)
        m_onFlush();
}

} // namespace lexiflip::compress
