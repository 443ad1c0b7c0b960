// Arbitrary bytes as the host's state file. A text that is refused says why in
// one line; a text that is read writes back to a text that reads again to the
// same text; and the game it holds, resumed by a host session, plays on under
// its clocks with a player back in his seat, without an error and with its
// board and seats within their bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "assets/embedded.h"
#include "core/letters.h"
#include "engine/computer_words.h"
#include "engine/virtual_timeline.h"
#include "host/host_session.h"
#include "host/state_file.h"
#include "support/stepped_pace_timer.h"
#include "wire/messages.h"
#include "words/notice_sink.h"
#include "words/tdictn.h"

using namespace lexiflip;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

class Quiet : public words::NoticeSink {
public:
    void notice(std::string_view) override {}
};

// The transport of a host nobody listens to, but errors are findings.
class Silent : public host::HostTransport {
public:
    void send(host::ConnectionId, std::string_view message) override
    {
        check(!message.empty() && message.back() == '\xFF');
    }
    void close(host::ConnectionId) override {}
    void reportError(std::string_view) override { std::abort(); }
};

void checkState(const engine::GameState& state)
{
    for (int x = 1; x <= engine::kBoardColumns; ++x)
        for (int y = 1; y <= engine::kBoardRows; ++y)
            check(state.cell(x, y).letter >= 0 && state.cell(x, y).letter <= core::kLastLetter);
    check(state.currentplayer >= 0 && state.currentplayer <= state.numseats);
    check(state.slotsused >= 0 && state.slotsused <= engine::kMaxConnections);
    check(state.flipcount >= 0 && state.flipcount <= engine::kFlipsPerTurn);
}

void resumeAndPlay(const host::HostSnapshot& snapshot)
{
    static Quiet quiet;
    static const words::TDictn dictionary(assets::dictionaryRecords(), quiet, "/nonexistent-lexiflip-dir");
    static const std::vector<std::string> listboxWords = engine::loadComputerWords(assets::computerWords());

    Silent transport;
    engine::VirtualTimeline timeline;
    engine::VirtualTimeline::VirtualClock& timer1 = timeline.addClock();
    engine::VirtualTimeline::VirtualClock& computertimer = timeline.addClock();
    net::SteppedPaceTimer socktimer;
    net::SteppedPaceTimer sessionTimer;
    host::HostSession session(
        host::HostSessionServices{transport, quiet, timer1, computertimer, socktimer, sessionTimer,
                                  dictionary, listboxWords},
        host::HostSessionSettings{.seed = 1, .firstSeatRemote = true, .seatHoldMs = 5000});
    timeline.setOnTick(timer1, [&] { session.timer1Timer(); });
    timeline.setOnTick(computertimer, [&] { session.computertimerTimer(); });
    std::string written;
    session.setStateListener([&](std::string text) { written = std::move(text); });
    if (!session.resume(snapshot))
        return;
    checkState(session.state());
    // Whatever the session keeps reads back.
    check(host::readStateText(written).snapshot.has_value());

    // The player on turn comes back from his address and passes; the game goes on.
    const int current = session.state().currentplayer;
    const std::string address = current >= 1 ? snapshot.addresses[static_cast<std::size_t>(current)] : "";
    const int slot = session.accept(7, address);
    if (slot != 0) {
        session.receive(7, wire::msg::logininfo(slot, wire::msg::kVersion, "Back"));
        session.receive(7, wire::msg::iflip(slot, 1, 1));
        session.receive(7, wire::msg::hepass(slot));
    }
    while (socktimer.step())
        checkState(session.state());
    for (int i = 0; i < 300 && session.state().gamerunning; ++i) {
        if (!timeline.step() && !sessionTimer.step())
            break;
        checkState(session.state());
    }
    check(host::readStateText(written).snapshot.has_value());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const host::StateRead read = host::readStateText(text);
    if (!read.snapshot) {
        check(!read.problem.empty() && read.problem.find('\n') == std::string::npos);
        return 0;
    }
    const std::string written = host::stateFileText(*read.snapshot);
    const host::StateRead again = host::readStateText(written);
    check(again.snapshot.has_value());
    check(host::stateFileText(*again.snapshot) == written);
    resumeAndPlay(*read.snapshot);
    return 0;
}
