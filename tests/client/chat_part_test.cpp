// The chat column's rules and its plain half: what typed text, phrases and
// the sounds menu send, the phrase cool-down, received chatter sounds, and
// where a link lies in the chat's text.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "client/game/chat_part.h"
#include "client/game/chat_rules.h"
#include "support/client_rig.h"

namespace client = lexiflip::client;
namespace chat = lexiflip::client::chat;
namespace rigs = lexiflip::testing;
using rigs::wireText;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr lexiflip::wire::Colour kRed = 0x0000FF;
constexpr lexiflip::wire::Colour kBlue = 0xFF0000;

class RecordingOutput : public client::ChatOutput {
public:
    void addlinetochat(std::string_view line, lexiflip::wire::Colour colour) override
    {
        lines.push_back({std::string(line), colour});
    }
    void systemLine(std::string_view line) override
    {
        lines.push_back({std::string(line), rigs::RecordingScreen::kOwnVoice});
    }
    void playChatterSound(std::string_view name) override { sounds.emplace_back(name); }
    std::vector<rigs::RecordingScreen::Line> lines;
    std::vector<std::string> sounds;
};

// Ann in seat 1, Bob in seat 2, and this client logged in as the given number.
struct ChatRig {
    explicit ChatRig(int myplayer = 1)
    {
        if (myplayer > 0)
            rig.login(myplayer);
        rig.feed({"CMD_newplayerinfo+1+Ann", "CMD_newplayerinfo+2+Bob"});
        rig.sender.sent.clear();
        part.setTextColour(kRed);
        part.setActionColour(kBlue);
    }
    rigs::ClientRig rig;
    RecordingOutput output;
    rigs::SteppedClock cooldown;
    client::ChatPart part{rig.sender, output, rig.game, cooldown};
};

struct TypedCase {
    std::string typed;
    std::vector<std::string> sent;
};

TEST(ChatPart, EnterSendsChatOrActionOrNothingAndAlwaysEmptiesTheBox)
{
    const TypedCase cases[] = {
        {"hello", {"CMD_chat+1+hello|clRed"}},
        {"/me waves", {"CMD_action+1+waves|clBlue"}},
        {"/mewaves", {"CMD_action+1+aves|clBlue"}}, // the first four characters always go
        {"/me", {"CMD_action+1+|clBlue"}},
        {"/who", {}},
        {"/", {}},
        {"", {}},
        {" /me not an action", {"CMD_chat+1+ /me not an action|clRed"}},
        {"a|b", {"CMD_chat+1+a|b|clRed"}},
    };
    for (const TypedCase& c : cases) {
        ChatRig chat;
        EXPECT_TRUE(chat.part.sendit(c.typed)) << c.typed;
        std::vector<std::string> expected;
        for (const std::string& message : c.sent)
            expected.push_back(wireText(message));
        EXPECT_EQ(chat.rig.sender.sent, expected) << c.typed;
    }
}

TEST(ChatPart, BeforeLoginEnterKeepsTheTextButPhrasesGoOut)
{
    ChatRig chat(0);
    EXPECT_FALSE(chat.part.sendit("hello"));
    EXPECT_THAT(chat.rig.sender.sent, IsEmpty());
    chat.part.phraseClick(1);
    EXPECT_THAT(chat.rig.sender.sent, ElementsAre(wireText("CMD_action+0+says: Way To Go!|clBlue")));
}

TEST(ChatPart, APhraseCoolsDownForTwoSecondsBeforeTheNextIsSent)
{
    ChatRig chat;
    chat.part.phraseClick(2);
    chat.part.phraseClick(3);
    EXPECT_THAT(chat.rig.sender.sent, ElementsAre(wireText("CMD_action+1+says: Good One!|clBlue")));
    EXPECT_TRUE(chat.cooldown.running());
    EXPECT_EQ(chat.cooldown.interval, 2000);

    chat.part.cooldownTimer();
    EXPECT_FALSE(chat.cooldown.running());
    chat::Phrases mine = chat::builtInPhrases();
    mine[2] = "/me cheers";
    chat.part.setPhrases(mine);
    chat.part.phraseClick(3);
    EXPECT_THAT(chat.rig.sender.sent, ElementsAre(wireText("CMD_action+1+says: Good One!|clBlue"),
                                                  wireText("CMD_action+1+cheers|clBlue")));
}

struct SoundChoiceCase {
    int myplayer; // 0: not logged in
    int tag;
    std::vector<std::string> sent;
};

TEST(ChatPart, OnlySeatedLoggedInPlayersSendChatterSounds)
{
    const SoundChoiceCase cases[] = {
        {2, 13, {"CMD_playasound+2+wave13+"}},
        {6, 1, {"CMD_playasound+6+wave1+"}},
        {2, 0, {}},  // <Cancel>
        {2, 15, {}}, // no such entry
        {7, 3, {}},  // a watcher
        {0, 3, {}},
    };
    for (const SoundChoiceCase& c : cases) {
        ChatRig chat(c.myplayer);
        chat.part.soundChosen(c.tag);
        std::vector<std::string> expected;
        for (const std::string& message : c.sent)
            expected.push_back(wireText(message));
        EXPECT_EQ(chat.rig.sender.sent, expected) << c.myplayer << " " << c.tag;
    }
}

struct ReceivedSoundCase {
    std::string payload;
    bool playing;
    std::vector<std::string> lines;
    std::vector<std::string> sounds;
};

TEST(ChatPart, AReceivedChatterSoundPlaysOrShowsItsCaption)
{
    const ReceivedSoundCase cases[] = {
        {"2+wave13+", false, {"Bob: <Chatter Sound> Applause"}, {}},
        {"1+wave1+", false, {"Ann: <Chatter Sound> Doh"}, {}},
        {"2+wave13+", true, {}, {"wave13"}},
        {"2+WAVE5+", false, {"Bob: <Chatter Sound> Where have you been?"}, {}},
        {"2+wave15+", false, {}, {}},
        {"2+wave01+", false, {}, {}},
        {"2+wave15+", true, {}, {}},
        {"8+wave3+", false, {}, {}},
        {"x+wave3+", false, {}, {}},
    };
    for (const ReceivedSoundCase& c : cases) {
        ChatRig chat;
        chat.part.setPlayChatterSounds(c.playing);
        chat.part.playasound(c.payload);
        std::vector<std::string> lines;
        for (const auto& line : chat.output.lines) {
            lines.push_back(line.text);
            EXPECT_EQ(line.colour, rigs::RecordingScreen::kOwnVoice);
        }
        EXPECT_EQ(lines, c.lines) << c.payload;
        EXPECT_EQ(chat.output.sounds, c.sounds) << c.payload;
    }
}

TEST(ChatPart, AChatTextHoldingABarIsCutThereAndShownInRed)
{
    rigs::ClientRig rig;
    rig.feed({"CMD_chat+Ann chats: a|b|clBlue", "CMD_chat+Ann chats: c|clBlue"});
    EXPECT_THAT(rig.screen.chat, ElementsAre(rigs::RecordingScreen::Line{"Ann chats: a", kRed},
                                             rigs::RecordingScreen::Line{"Ann chats: c", kBlue}));
}

struct LinkCase {
    std::string text;
    std::string at; // the mouse is over the first character of this piece
    std::string link;
};

TEST(ChatLinks, FoundAroundThePositionWithTrailingPunctuationDropped)
{
    const LinkCase cases[] = {
        {"Ann chats: see http://example.com/a.", "http", "http://example.com/a"},
        {"Ann chats: see http://example.com/a.", "m/a", "http://example.com/a"},
        {"Ann chats: (www.Example.org/Path),", "Ex", "www.Example.org/Path"},
        {"go HTTP://Host:81/x?y=1!", "HTTP", "HTTP://Host:81/x?y=1"},
        {"mail mailto:bob@example.net", "bob", "mailto:bob@example.net"},
        {"both www.a.com/ftp://b.org/", "www", "ftp://b.org/"}, // the prefixes are tried in order
        {"news:comp.lang", "news", "news:comp.lang"},
        {"line http://a.com\nhttp://b.com", "http://a", "http://a.com"},
        {"line http://a.com\nhttp://b.com", "http://b", "http://b.com"},
        {"just http:// here", "http", ""},
        {"www.!", "www", ""},
        {"see http://example.com", "see", ""},
        {"no link at all", "link", ""},
        {"join LEXIFLIP://Game.Lan:7000.", "LEX", "LEXIFLIP://Game.Lan:7000"},
        {"join lexiflip://[::1]:7772, now", "lex", "lexiflip://[::1]:7772"},
        {"join lexiflip://[::1]", "lex", "lexiflip://[::1]"},
        {"odd lexiflip://host]", "lex", "lexiflip://host"},
    };
    for (const LinkCase& c : cases) {
        const std::size_t position = c.text.find(c.at);
        ASSERT_NE(position, std::string::npos) << c.text;
        const std::optional<chat::LinkSpan> span = chat::findLink(c.text, position);
        const std::string found = span ? c.text.substr(span->start, span->length) : std::string();
        EXPECT_EQ(found, c.link) << c.text << " at " << c.at;
    }
    EXPECT_EQ(chat::findLink("", 0), std::nullopt);
    EXPECT_EQ(chat::findLink("http://x", 99), (chat::LinkSpan{0, 8}));
}

} // namespace
