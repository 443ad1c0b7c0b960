#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "engine/sender.h"
#include "words/notice_sink.h"

namespace lexiflip::testing {

// Every message the engine sent, in order, with its slot. Terminators are kept.
class RecordingSender : public engine::Sender {
public:
    struct Sent {
        int slot;
        std::string message;
    };

    void send(int slot, std::string_view message) override { sent.push_back({slot, std::string(message)}); }

    // Messages whose command word (the text before the first "+") is command.
    std::vector<Sent> withCommand(std::string_view command) const
    {
        std::vector<Sent> found;
        for (const Sent& s : sent) {
            const std::string_view text = s.message;
            if (text.substr(0, text.find('+')) == command)
                found.push_back(s);
        }
        return found;
    }

    // The slots that received message, in the order they received it.
    std::vector<int> recipients(std::string_view message) const
    {
        std::vector<int> slots;
        for (const Sent& s : sent) {
            if (s.message == message)
                slots.push_back(s.slot);
        }
        return slots;
    }

    void clear() { sent.clear(); }

    std::vector<Sent> sent;
};

class RecordingNotices : public words::NoticeSink {
public:
    void notice(std::string_view text) override { notices.emplace_back(text); }
    std::vector<std::string> notices;
};

// A clock the test steps by hand: it only remembers whether it runs and at
// what interval.
class SteppedClock : public core::Clock {
public:
    void start(int intervalMs) override
    {
        m_running = true;
        interval = intervalMs;
        ++starts;
    }
    void stop() override { m_running = false; }
    bool running() const override { return m_running; }

    int interval = 0;
    int starts = 0;

private:
    bool m_running = false;
};

// A message as it is sent: the text and the terminator.
inline std::string wireText(std::string_view text)
{
    std::string message(text);
    message += '\xFF';
    return message;
}

} // namespace lexiflip::testing
