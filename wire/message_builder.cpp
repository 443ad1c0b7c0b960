#include "wire/message_builder.h"

#include "wire/accumulator.h"

namespace lexiflip::wire {

MessageBuilder::MessageBuilder(std::string_view command) : m_text(command)
{
    m_text.reserve(64);
}

MessageBuilder& MessageBuilder::add(std::string_view field)
{
    m_text += '+';
    m_text += field;
    return *this;
}

MessageBuilder& MessageBuilder::add(int number)
{
    m_text += '+';
    m_text += std::to_string(number);
    return *this;
}

MessageBuilder& MessageBuilder::addOrigin(int x, int y)
{
    m_text += '+';
    m_text += std::to_string(x);
    m_text += ',';
    m_text += std::to_string(y);
    return *this;
}

MessageBuilder& MessageBuilder::append(std::string_view text)
{
    m_text += text;
    return *this;
}

MessageBuilder& MessageBuilder::trailing()
{
    m_text += '+';
    return *this;
}

std::string MessageBuilder::str() const
{
    std::string message;
    message.reserve(m_text.size() + 1);
    message += m_text;
    message += kTerminator;
    return message;
}

} // namespace lexiflip::wire
