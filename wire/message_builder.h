#pragma once

#include <string>
#include <string_view>

namespace lexiflip::wire {

// Assembles one message: the command word, then each field introduced by its
// own "+", an optional trailing "+", and the terminator. The whole message is
// built before it is sent, so that it goes out in one Send.
class MessageBuilder {
public:
    explicit MessageBuilder(std::string_view command);

    // "+" and the field.
    MessageBuilder& add(std::string_view field);
    MessageBuilder& add(const char* field) { return add(std::string_view(field)); }
    MessageBuilder& add(const std::string& field) { return add(std::string_view(field)); }
    MessageBuilder& add(int number);

    // "+" x "," y: an origin in the word syntax.
    MessageBuilder& addOrigin(int x, int y);

    // Text appended as it is, with no "+" before it: a free-text piece that
    // continues the last field.
    MessageBuilder& append(std::string_view text);

    // The "+" that many messages put before their terminator.
    MessageBuilder& trailing();

    // The message with its terminator.
    std::string str() const;

    // The message without its terminator, as a receiver's queue holds it.
    const std::string& body() const { return m_text; }

private:
    std::string m_text;
};

} // namespace lexiflip::wire
