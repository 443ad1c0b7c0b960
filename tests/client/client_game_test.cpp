#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/client_rig.h"

namespace client = lexiflip::client;
namespace rigs = lexiflip::testing;
using client::MouseButton;
using rigs::ClientRig;
using rigs::wireText;
namespace wire = lexiflip::wire;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr client::MouseButton kLeft = MouseButton::Left;
constexpr client::MouseButton kRight = MouseButton::Right;

// Seat 1 ("You") against Bob in seat 2, a 60-second game, bar letters 1..7 in
// positions 1..7, and the own turn begun.
class OwnTurn : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.login(1);
        rig.feed({"CMD_newplayerinfo+1+You", "CMD_newplayerinfo+2+Bob", "CMD_startgame+You+200+60+3+0+"});
        rig.game.handle(rigs::fullBoard());
        rig.feed({"CMD_mytiles+1+1+1+2+2+3+3+4+4+5+5+6+6+7+7", "CMD_nextplayer+1+"});
        rig.sender.sent.clear();
    }

    // Flips five tiles the way the player and the host do it together.
    void flipFive(const std::vector<std::pair<int, int>>& cells = {{4, 2}, {7, 8}, {1, 1}, {2, 2}, {3, 3}})
    {
        int left = 5;
        for (const auto& [x, y] : cells) {
            rig.game.turn().paintbox_boardMouseUp(x, y, kLeft);
            --left;
            rig.game.handle("CMD_heflip+1+" + std::to_string(x) + "+" + std::to_string(y) + "+" +
                            (left == 0 ? "t" : "f") + "+" + std::to_string(left) + "+");
        }
        rig.sender.sent.clear();
    }

    ClientRig rig;
};

TEST_F(OwnTurn, WordButtonsAppearOnlyWithTheFifthFlip)
{
    EXPECT_FALSE(rig.game.turn().wordButtonsShown());
    EXPECT_EQ(rig.game.turn().status(), "Choose 5 tiles to flip.");
    rig.game.turn().paintbox_boardMouseUp(4, 2, kLeft);
    EXPECT_EQ(rig.sender.sent, std::vector<std::string>{wireText("CMD_iflip+1+4+2+")});
    EXPECT_EQ(rig.game.turn().board(4, 2).picture, rigs::boardLetter(4, 2));
    rig.game.handle("CMD_heflip+1+4+2+f+4+");
    EXPECT_EQ(rig.game.turn().status(), "Choose 4 letters to flip");
    rig.game.turn().paintbox_boardMouseUp(4, 2, kLeft); // face up already, not building yet
    EXPECT_EQ(rig.game.turn().wordlength(), 0);

    for (const auto& [x, y, left, status] :
         std::vector<std::tuple<int, int, int, std::string>>{{5, 1, 3, "Choose 3 letters to flip"},
                                                             {6, 1, 2, "Choose 2 letters to flip"},
                                                             {7, 1, 1, "Choose 1 letter to flip"}}) {
        rig.game.turn().paintbox_boardMouseUp(x, y, kLeft);
        rig.game.handle("CMD_heflip+1+" + std::to_string(x) + "+" + std::to_string(y) + "+f+" +
                        std::to_string(left) + "+");
        EXPECT_EQ(rig.game.turn().status(), status);
        EXPECT_FALSE(rig.game.turn().wordButtonsShown());
    }
    rig.game.turn().paintbox_boardMouseUp(8, 1, kLeft);
    rig.game.turn().paintbox_boardMouseUp(9, 1, kLeft); // a sixth flip
    EXPECT_EQ(rig.sender.sent.size(), 5u);
    EXPECT_FALSE(rig.game.turn().board(9, 1).faceup);
    rig.game.handle("CMD_heflip+1+8+1+t+0+");
    EXPECT_TRUE(rig.game.turn().wordButtonsShown());
    EXPECT_TRUE(rig.game.turn().canbuild());
    EXPECT_EQ(rig.game.turn().status(), "Create a Word");
}

TEST_F(OwnTurn, AWordIsSentAndClearedWithItsOrigins)
{
    flipFive();
    rig.game.turn().paintbox_boardMouseUp(4, 2, kLeft);
    rig.game.turn().paintbox_boardMouseUp(4, 2, kLeft); // the same tile twice goes in once
    rig.game.turn().letters_1MouseUp(6, kLeft);
    rig.game.turn().letters_1MouseUp(6, kLeft); // now empty
    rig.game.turn().paintbox_boardMouseUp(7, 8, kLeft);
    EXPECT_THAT(rig.sender.sent,
                ElementsAre(wireText("CMD_useboardletter+1+4+2+1+"), wireText("CMD_usebarletter+1+6+2+"),
                            wireText("CMD_useboardletter+1+7+8+3+")));
    EXPECT_EQ(rig.game.turn().wordlength(), 3);
    EXPECT_EQ(rig.game.turn().wordTile(2).source, (wire::Origin{0, 6}));
    EXPECT_EQ(rig.game.turn().bar(6).picture(), 0);
    EXPECT_EQ(rig.game.turn().board(4, 2).picture, rigs::boardLetter(4, 2) + 27);
    EXPECT_TRUE(rig.game.turn().wordTile(1).fromboard);
    EXPECT_FALSE(rig.game.turn().wordTile(2).fromboard);

    rig.sender.sent.clear();
    rig.game.turn().clickdone();
    EXPECT_THAT(rig.sender.sent, ElementsAre(wireText("CMD_idone+1+4,2+0,6+7,8")));
    EXPECT_EQ(rig.game.turn().turnowner(), 0);
    EXPECT_FALSE(rig.game.turn().wordButtonsShown());

    // The host refuses it; CLEAR then gives every letter back.
    rig.game.handle("CMD_invalid+1+");
    rig.sender.sent.clear();
    rig.game.turn().button_clearClick();
    EXPECT_THAT(rig.sender.sent, ElementsAre(wireText("CMD_clickclear+1+1+4,2+2+0,6+3+7,8")));
    EXPECT_EQ(rig.game.turn().wordlength(), 0);
    EXPECT_EQ(rig.game.turn().bar(6).picture(), 6);
    EXPECT_EQ(rig.game.turn().board(4, 2).picture, rigs::boardLetter(4, 2));
    EXPECT_FALSE(rig.game.turn().board(7, 8).picked);
    EXPECT_EQ(rig.game.turn().wordTile(1).source, (wire::Origin{0, 0}));

    rig.sender.sent.clear();
    const auto sounds = rig.screen.sounds.size();
    rig.game.turn().button_clearClick(); // an empty word: nothing sent, no sound
    rig.game.turn().clickdone();
    EXPECT_THAT(rig.sender.sent, IsEmpty());
    EXPECT_EQ(rig.screen.sounds.size(), sounds);
    EXPECT_EQ(rig.game.turn().turnowner(), 1);
}

TEST_F(OwnTurn, GivingBackRestoresTheTileWhereItStands)
{
    flipFive();
    rig.game.turn().letters_1MouseUp(6, kRight);
    EXPECT_TRUE(rig.game.turn().bar(6).raised);
    EXPECT_EQ(rig.screen.calls.back(), "barTileChanged 6");
    rig.game.turn().letters_1MouseUp(2, kRight); // swap the pictures of 6 and 2
    EXPECT_EQ(rig.game.turn().bar(6).place, 2);
    EXPECT_EQ(rig.game.turn().bar(2).place, 6);
    EXPECT_FALSE(rig.game.turn().bar(6).raised);
    for (int p = 1; p <= 7; ++p)
        EXPECT_FALSE(rig.game.turn().bar(p).raised) << p;
    EXPECT_EQ(rig.screen.calls.back(), "barChanged");
    rig.game.turn().button_shuffleClick();
    EXPECT_EQ(rig.screen.calls.back(), "barChanged");
    const int placeOf6 = rig.game.turn().bar(6).place;

    rig.game.turn().letters_1MouseUp(6, kLeft);
    rig.game.turn().paintbox_boardMouseUp(7, 8, kLeft);
    rig.sender.sent.clear();
    rig.game.turn().word_1MouseUp(1); // not the last letter
    EXPECT_THAT(rig.sender.sent, IsEmpty());
    rig.game.turn().word_1MouseUp(2);
    rig.game.turn().word_1MouseUp(1);
    EXPECT_THAT(rig.sender.sent,
                ElementsAre(wireText("CMD_clickclear+1+2+7,8"), wireText("CMD_clickclear+1+1+0,6")));
    EXPECT_EQ(rig.game.turn().bar(6).picture(), 6);
    EXPECT_EQ(rig.game.turn().bar(6).place, placeOf6);
    EXPECT_TRUE(rig.game.turn().board(7, 8).faceup);
    EXPECT_EQ(rig.game.turn().board(7, 8).picture, rigs::boardLetter(7, 8));
    EXPECT_EQ(rig.game.turn().wordlength(), 0);

    // Shuffling only moves pictures: the seven pictures keep the seven places.
    std::vector<int> places;
    for (int p = 1; p <= 7; ++p)
        places.push_back(rig.game.turn().bar(p).place);
    std::sort(places.begin(), places.end());
    EXPECT_EQ(places, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(OwnTurn, AWordHoldsTenLetters)
{
    flipFive();
    for (int p = 1; p <= 7; ++p)
        rig.game.turn().letters_1MouseUp(p, kLeft);
    rig.game.turn().paintbox_boardMouseUp(4, 2, kLeft);
    rig.game.turn().paintbox_boardMouseUp(7, 8, kLeft);
    rig.game.turn().paintbox_boardMouseUp(1, 1, kLeft);
    EXPECT_EQ(rig.game.turn().wordlength(), 10);
    rig.sender.sent.clear();
    rig.game.turn().paintbox_boardMouseUp(2, 2, kLeft);
    EXPECT_EQ(rig.game.turn().wordlength(), 10);
    EXPECT_FALSE(rig.game.turn().board(2, 2).picked);
    EXPECT_THAT(rig.sender.sent, IsEmpty());
    rig.game.turn().word_1MouseUp(10);
    EXPECT_THAT(rig.sender.sent, ElementsAre(wireText("CMD_clickclear+1+10+1,1")));
    rig.game.turn().letters_1MouseUp(7, kLeft); // still empty: its tile is in the word
    EXPECT_EQ(rig.game.turn().wordlength(), 9);
}

TEST_F(OwnTurn, ARefusedWordIsClearedOnlyWithClearWordOn)
{
    for (const bool clearWord : {true, false}) {
        SCOPED_TRACE(clearWord);
        rig.game.turn().setClearWord(clearWord);
        rig.feed({"CMD_nextplayer+1+"});
        flipFive();
        rig.game.turn().paintbox_boardMouseUp(4, 2, kLeft);
        rig.game.turn().letters_1MouseUp(3, kLeft);
        rig.game.turn().clickdone();
        rig.sender.sent.clear();
        rig.game.handle("CMD_invalid+1+");
        EXPECT_EQ(rig.game.turn().status(), "Invalid Word");
        EXPECT_EQ(rig.game.turn().turnowner(), 1);
        EXPECT_TRUE(rig.game.turn().wordButtonsShown());
        EXPECT_EQ(rig.screen.sounds.back(), "invalid");
        if (clearWord) {
            EXPECT_THAT(rig.sender.sent, ElementsAre(wireText("CMD_clickclear+1+1+4,2+2+0,3")));
            EXPECT_EQ(rig.game.turn().wordlength(), 0);
        } else {
            EXPECT_THAT(rig.sender.sent, IsEmpty());
            EXPECT_EQ(rig.game.turn().wordlength(), 2);
        }
    }
}

TEST_F(OwnTurn, PassAndBuyClearTheWordFirst)
{
    flipFive();
    rig.game.turn().paintbox_boardMouseUp(4, 2, kLeft);
    rig.game.turn().button_buyClick();
    EXPECT_THAT(rig.sender.sent,
                ElementsAre(wireText("CMD_useboardletter+1+4+2+1+"), wireText("CMD_clickclear+1+1+4,2"),
                            wireText("CMD_clickbuy+1+")));
    EXPECT_TRUE(rig.game.turn().wordButtonsShown()); // a purchase keeps them
    rig.feed({"CMD_buytiles+1+30+20+"});
    EXPECT_EQ(rig.game.turn().status(), "You bought new tiles.");
    EXPECT_EQ(rig.game.roster().seat(1).bonus, " - 20");
    EXPECT_EQ(rig.game.turn().turnowner(), 1);
    rig.sender.sent.clear();
    rig.game.turn().button_passClick();
    EXPECT_THAT(rig.sender.sent, ElementsAre(wireText("CMD_hepass+1+")));
    EXPECT_EQ(rig.game.turn().turnowner(), 0);
    EXPECT_FALSE(rig.game.turn().wordButtonsShown());
}

TEST_F(OwnTurn, ScoredWords)
{
    flipFive();
    rig.game.turn().paintbox_boardMouseUp(4, 2, kLeft);
    rig.game.turn().letters_1MouseUp(3, kLeft);
    rig.game.turn().clickdone();
    const auto chatBefore = rig.screen.chat.size();
    const std::string status = rig.game.turn().status();
    rig.game.handle("CMD_hisword+1+ab+57+0+1+2");
    EXPECT_FALSE(rig.turntime.running());
    EXPECT_EQ(rig.game.roster().seat(1).score, "57");
    EXPECT_TRUE(rig.game.turn().wordTile(1).bonusShown);
    EXPECT_FALSE(rig.game.turn().wordTile(2).bonusShown);
    EXPECT_EQ(rig.game.turn().status(), status);
    EXPECT_EQ(rig.game.roster().seat(1).bonus, "");
    EXPECT_EQ(rig.screen.chat.size(), chatBefore);
    EXPECT_THAT(rig.tally.calls, ElementsAre("increase 3"));

    rig.game.handle("CMD_hisword+2+quiz+80+23+17+21+9+26");
    EXPECT_EQ(rig.game.turn().status(), "Bob made: QUIZ for 23 points.");
    EXPECT_EQ(rig.game.roster().seat(2).bonus, "+23 quiz");
    EXPECT_EQ(rig.screen.chat.back(), (rigs::RecordingScreen::Line{"Bob made: QUIZ for 23 points.",
                                                                   rigs::RecordingScreen::kOwnVoice}));
    rig.game.handle("CMD_hisword+1+cab+90+12+");
    EXPECT_THAT(rig.tally.calls, ElementsAre("increase 3", "increase 3", "set 4 12 cab"));
}

TEST_F(OwnTurn, TheTurnTimerRunsDown)
{
    EXPECT_TRUE(rig.turntime.running());
    EXPECT_EQ(rig.turntime.interval, 1000);
    rig.game.turn().turntimeTimer();
    EXPECT_EQ(rig.game.turn().timer().secondsLeft, 59);
    EXPECT_EQ(rig.game.turn().timer().turnSeconds, 60);
    EXPECT_EQ(rig.game.turn().timer().text, "Time: 0:59");
    EXPECT_EQ(rig.screen.calls.back(), "timerChanged");
    std::vector<int> ticks;
    for (int second = 58; second >= 1; --second) {
        rig.screen.sounds.clear();
        rig.game.turn().turntimeTimer();
        if (!rig.screen.sounds.empty() && rig.screen.sounds.back() == "tick")
            ticks.push_back(second);
        EXPECT_EQ(rig.game.turn().timer().low, second < 20) << second;
        if (second == 9) {
            EXPECT_EQ(rig.game.turn().timer().text, "Time: 0:09");
        }
    }
    EXPECT_EQ(ticks, (std::vector<int>{20, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(rig.game.turn().turnowner(), 1);
    rig.game.turn().turntimeTimer();
    EXPECT_EQ(rig.game.turn().timer().text, "Time: 0:00");
    EXPECT_EQ(rig.game.turn().timer().secondsLeft, 0);
    EXPECT_EQ(rig.game.turn().turnowner(), 0);
    rig.game.turn().paintbox_boardMouseUp(5, 5, kLeft);
    EXPECT_THAT(rig.sender.sent, IsEmpty());
}

TEST(ClientGameTimer, ScaleFollowsTheSecondsPerTurn)
{
    // A time outside the options dialog's range, as another host may send,
    // is read as its nearest limit; one that is no positive number as 60.
    const std::vector<std::pair<std::string, int>> cases{
        {"45", 45}, {"60", 60}, {"120", 120}, {"x", 60},    {"0", 60},
        {"-5", 60}, {"1", 45},  {"44", 45},   {"121", 120}, {"2147483647", 120}};
    for (const auto& [seconds, turnSeconds] : cases) {
        ClientRig rig;
        rig.game.handle("CMD_startgame+Ann+100+" + seconds + "+1+1+");
        EXPECT_EQ(rig.game.turn().gameTexts().timePerTurn,
                  "Time Per Turn: " + std::to_string(turnSeconds) + "secs")
            << seconds;
        // The turn's timer counts down from that time.
        rig.game.handle("CMD_nextplayer+2+");
        rig.game.turn().turntimeTimer();
        EXPECT_EQ(rig.game.turn().timer().turnSeconds, turnSeconds) << seconds;
        EXPECT_EQ(rig.game.turn().timer().secondsLeft, turnSeconds - 1) << seconds;
        EXPECT_TRUE(rig.game.turn().gameTexts().notPlaying);
        EXPECT_EQ(rig.game.turn().gameTexts().gameMode, "Game Mode: Blind");
    }
    // Two minutes (the bar then one pixel per second): the timer shows the
    // seconds left of 120, and the text shows minutes and two-digit seconds on each side of a minute and of
    // ten seconds.
    const std::vector<std::tuple<int, std::string>> texts{
        {61, "Time: 1:01"}, {60, "Time: 1:00"}, {10, "Time: 0:10"}, {9, "Time: 0:09"}};
    ClientRig slow;
    slow.feed({"CMD_startgame+Ann+150+120+2+0+", "CMD_nextplayer+2+"});
    int left = 120;
    for (const auto& [seconds, text] : texts) {
        for (; left > seconds; --left)
            slow.game.turn().turntimeTimer();
        EXPECT_EQ(slow.game.turn().timer().text, text);
        EXPECT_EQ(slow.game.turn().timer().secondsLeft, seconds);
        EXPECT_EQ(slow.game.turn().timer().turnSeconds, 120);
    }

    ClientRig rig;
    rig.feed({"CMD_startgame+Ann+150+45+2+0+"});
    EXPECT_EQ(rig.game.turn().gameTexts().timePerTurn, "Time Per Turn: 45secs");
    EXPECT_EQ(rig.game.turn().gameTexts().playToScore, "Play to Score: 150");
    EXPECT_EQ(rig.game.roster().seat(2).name, "Klot");
    EXPECT_EQ(rig.screen.chatTexts().back(), "Ann has started a game.");
}

TEST(ClientSession, LoginAnswersWithVersionAndName)
{
    ClientRig rig;
    rig.game.roster().JustWatch1Click();
    rig.game.turn().button_startClick();
    EXPECT_THAT(rig.sender.sent, IsEmpty());
    EXPECT_THAT(rig.screen.boxes, ElementsAre("You are not connected"));
    rig.game.roster().setLoginname("Ann+Lee");
    rig.game.handle("CMD_sendlogininfo+3");
    EXPECT_THAT(rig.sender.sent, ElementsAre(wireText("CMD_logininfo+3+1.0.3+Ann+Lee") + '\xFF'));
    EXPECT_TRUE(rig.game.roster().loggedin());
    rig.game.turn().button_startClick();
    EXPECT_EQ(rig.screen.optionsOpened, 1);
}

TEST(ClientSession, ChatLinesAndChatterSounds)
{
    ClientRig rig;
    std::vector<std::string> chatter;
    rig.game.setPlayasoundHandler([&](std::string_view payload) { chatter.emplace_back(payload); });
    rig.feed(
        {"CMD_chat+Ann chats: 1+1|clGreen", "CMD_action+Ann waves", "CMD_playasound+2+wave13+", "CMD_chat"});
    EXPECT_THAT(rig.screen.chat, ElementsAre(rigs::RecordingScreen::Line{"Ann chats: 1+1", 0x008000},
                                             rigs::RecordingScreen::Line{"Ann waves", 0x0000FF}));
    EXPECT_THAT(chatter, ElementsAre("2+wave13+"));
}

struct JoinCase {
    std::string name;
    int myplayer;
    std::vector<std::string> messages;
    std::vector<std::string> chat;
    std::vector<std::string> seatNames; // seats 1..6
    std::vector<std::string> watchers;
};

TEST(ClientSession, JoinAndLeaveLines)
{
    const std::string w = "<Waiting>";
    const std::vector<JoinCase> cases{
        {"a watcher's own join",
         7,
         {"CMD_newplayerinfo+7+Eve"},
         {"You are Connected.", "You are spying."},
         {w, w, w, w, w, w},
         {"7: Eve"}},
        {"seat 2 leaving shows Klot",
         1,
         {"CMD_existingplayers+2+Bob", "CMD_playerdisconnected+2+Bob"},
         {"Bob is Connected.", "Bob disconnected."},
         {w, "Klot", w, w, w, w},
         {}},
        {"seat 4 leaving waits",
         1,
         {"CMD_newplayerinfo+4+Dan", "CMD_playerdisconnected+4+Dan"},
         {"Dan is Connected.", "Dan disconnected."},
         {w, w, w, w, w, w},
         {}},
        {"a computer name leaves silently",
         1,
         {"CMD_newplayerinfo+6+Krazy", "CMD_playerdisconnected+6+Krazy"},
         {"Krazy is Connected."},
         {w, w, w, w, w, w},
         {}},
        {"watchers come and go",
         1,
         {"CMD_newplayerinfo+8+Al", "CMD_newplayerinfo+9+Cy", "CMD_playerdisconnected+8+Al",
          "CMD_playerdisconnected+9+Nobody"},
         {"Al is Connected.", "Al is spying.", "Cy is Connected.", "Cy is spying.", "Al has left."},
         {w, w, w, w, w, w},
         {"9: Cy"}},
        {"a slot keeps one watcher however often it logs in",
         1,
         {"CMD_newplayerinfo+8+Al", "CMD_newplayerinfo+7+Mal", "CMD_newplayerinfo+7+Mal",
          "CMD_newplayerinfo+7+Mal2", "CMD_playerdisconnected+7+Mal"},
         {"Al is Connected.", "Al is spying.", "Mal is Connected.", "Mal is spying.", "Mal is Connected.",
          "Mal is spying.", "Mal2 is Connected.", "Mal2 is spying."},
         {w, w, w, w, w, w},
         {"8: Al", "7: Mal2"}},
        {"versions",
         1,
         {"CMD_havewrongversion+Old+Timer", "CMD_wrongversion+"},
         {"Old+Timer has a different version of the game than you.",
          "You have a differnt version of the game than the host."},
         {w, w, w, w, w, w},
         {}},
    };
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.name);
        ClientRig rig;
        rig.login(c.myplayer);
        for (const std::string& m : c.messages)
            rig.game.handle(m);
        EXPECT_EQ(rig.screen.chatTexts(), c.chat);
        for (const auto& line : rig.screen.chat)
            EXPECT_EQ(line.colour, rigs::RecordingScreen::kOwnVoice);
        std::vector<std::string> names;
        for (int s = 1; s <= 6; ++s)
            names.push_back(rig.game.roster().seat(s).name);
        EXPECT_EQ(names, c.seatNames);
        EXPECT_EQ(rig.game.roster().watchers(), c.watchers);
        // The settings are read when the own join is announced, and only then.
        EXPECT_EQ(rig.screen.settingsRead, c.myplayer == 7 ? 1 : 0);
    }
}

// Departures while a game runs leave the seat away (name and score kept), until
// the host frees it (an empty name), the player is back or a new game starts;
// the host naming the client's own slot removed it.
TEST(ClientSession, DeparturesWhileAGameRunsLeaveTheSeatAway)
{
    struct Case {
        std::string name;
        std::vector<std::string> messages;
        std::string seat3;
        bool away;
        std::vector<std::string> chatAfterStart;
        std::string score = "17";
    };
    const std::vector<Case> cases{
        {"away, score kept", {"CMD_playerdisconnected+3+Bob"}, "Bob", true, {"Bob disconnected."}},
        {"the hold ends: free, nothing more said",
         {"CMD_playerdisconnected+3+Bob", "CMD_playerdisconnected+3+"},
         "<Waiting>",
         false,
         {"Bob disconnected."}},
        {"back in his seat",
         {"CMD_playerdisconnected+3+Bob", "CMD_newplayerinfo+3+Bob"},
         "Bob",
         false,
         {"Bob disconnected.", "Bob is Connected."}},
        {"a new game frees it",
         {"CMD_playerdisconnected+3+Bob", "CMD_startgame+You+200+60+3+0+"},
         "<Waiting>",
         false,
         {"Bob disconnected.", "You has started a game."},
         "0"},
        {"between games, free at once",
         {"CMD_winner+You+", "CMD_playerdisconnected+3+Bob"},
         "<Waiting>",
         false,
         {"You have Won the Game!", "Bob disconnected."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClientRig rig;
        rig.login(1);
        rig.feed({"CMD_newplayerinfo+1+You", "CMD_newplayerinfo+3+Bob", "CMD_startgame+You+200+60+3+0+",
                  "CMD_nextplayer+1+", "CMD_stats+1+200+60+1+50+blind+0+1+0+2+0+3+17"});
        const std::size_t before = rig.screen.chat.size();
        for (const std::string& m : c.messages)
            rig.game.handle(m);
        const std::vector<std::string> chat = rig.screen.chatTexts();
        EXPECT_EQ(std::vector<std::string>(chat.begin() + std::ptrdiff_t(before), chat.end()),
                  c.chatAfterStart);
        EXPECT_EQ(rig.game.roster().seat(3).name, c.seat3);
        EXPECT_EQ(rig.game.roster().seat(3).away, c.away);
        EXPECT_EQ(rig.game.roster().seat(3).score, c.score);
        EXPECT_FALSE(rig.game.roster().removed());
    }

    // Seat 2 freed goes back to the computer; the own slot named means removal.
    ClientRig rig;
    rig.login(2);
    rig.feed({"CMD_newplayerinfo+2+You", "CMD_newplayerinfo+4+Cy", "CMD_startgame+Cy+200+60+3+0+",
              "CMD_nextplayer+4+", "CMD_playerdisconnected+2+You"});
    EXPECT_TRUE(rig.game.roster().removed());
    EXPECT_EQ(rig.game.roster().seat(2).name, "Klot");
    EXPECT_FALSE(rig.game.roster().seat(2).away);
    EXPECT_EQ(rig.screen.chatTexts().back(), "You were removed from the game.");
}

TEST(ClientSession, JustWatchingAndTheSeatMenu)
{
    ClientRig rig;
    rig.login(3);
    rig.feed({"CMD_newplayerinfo+3+Cat", "CMD_justwatching+3+1"});
    EXPECT_TRUE(rig.game.roster().justWatchChecked());
    EXPECT_TRUE(rig.game.roster().seat(3).eyes);
    EXPECT_EQ(rig.screen.chatTexts().back(), "Cat is just watching");
    rig.game.roster().JustWatch1Click();
    EXPECT_THAT(rig.sender.sent, ElementsAre(wireText("CMD_justwatch+3+2")));
    rig.game.turn().button_passClick();
    EXPECT_THAT(rig.screen.boxes, ElementsAre("You need to turn off \"Just Watch\" before you can play."));
    rig.feed({"CMD_justwatching+3+2", "CMD_justwatching+8+1"});
    EXPECT_FALSE(rig.game.roster().justWatchChecked());
    EXPECT_FALSE(rig.game.roster().seat(3).eyes);
    EXPECT_EQ(rig.screen.chatTexts().back(), "Cat is now playing again");

    const client::SeatMenu guest = rig.game.roster().label_playername1ContextPopup(3);
    EXPECT_FALSE(guest.removeEnabled || guest.setJustWatchEnabled || guest.unsetJustWatchEnabled);
    rig.sender.sent.clear();
    rig.game.roster().kicking();
    EXPECT_THAT(rig.sender.sent, IsEmpty());

    rig.game.setIshost(true);
    EXPECT_FALSE(rig.game.roster().label_playername1ContextPopup(4).removeEnabled); // "<Waiting>"
    EXPECT_TRUE(rig.game.roster().label_playername1ContextPopup(3).removeEnabled);
    rig.game.roster().kicking();
    rig.game.roster().popupSetJustWatch();
    rig.game.roster().popupUnsetJustWatch();
    EXPECT_THAT(rig.sender.sent, ElementsAre(wireText("CMD_kickhim+3+3+"), wireText("CMD_justwatch+3+1"),
                                             wireText("CMD_justwatch+3+2")));
}

// The watcher list names its slot itself; only the host's logged-in copy sends.
TEST(ClientWatchers, RemovingAWatcherIsTheHostsAndNamesASlotOneToNine)
{
    const struct {
        bool host;
        int slot;
        std::vector<std::string> sent;
    } cases[] = {
        {false, 8, {}},
        {true, 8, {wireText("CMD_kickhim+1+8+")}},
        {true, 9, {wireText("CMD_kickhim+1+9+")}},
        {true, 10, {}},
        {true, 0, {}},
    };
    for (const auto& c : cases) {
        ClientRig rig;
        rig.game.setIshost(true);
        rig.game.roster().kickWatcher(7); // not logged in yet
        EXPECT_THAT(rig.sender.sent, IsEmpty());
        // Slot 1 always plays for the host: a guest sits elsewhere.
        rig.login(c.host ? 1 : 2);
        rig.game.setIshost(c.host);
        rig.feed({"CMD_newplayerinfo+8+Eve"});
        rig.sender.sent.clear();
        rig.game.roster().kickWatcher(c.slot);
        EXPECT_EQ(rig.sender.sent, c.sent) << c.host << " " << c.slot;
    }
}

// Whoever the host gives slot 1 plays for the host, also when this copy did
// not start the host: the start button comes and the window is told once.
TEST(ClientSession, SlotOnePlaysForTheHost)
{
    for (const int slot : {1, 2, 7}) {
        ClientRig rig;
        rig.login(slot);
        const bool first = slot == 1;
        EXPECT_EQ(rig.game.roster().ishost(), first) << slot;
        EXPECT_EQ(rig.game.turn().startShown(), first) << slot;
        EXPECT_EQ(rig.screen.count("becameHostsPlayer"), first ? 1 : 0) << slot;
        rig.feed({"CMD_tie"});
        EXPECT_EQ(rig.screen.count("becameHostsPlayer"), first ? 1 : 0) << slot;
    }
    // Taken back by hand, the role returns with the next message.
    ClientRig rig;
    rig.login(1);
    rig.game.setIshost(false);
    EXPECT_FALSE(rig.game.turn().startShown());
    rig.feed({"CMD_tie"});
    EXPECT_TRUE(rig.game.roster().ishost());
    EXPECT_TRUE(rig.game.turn().startShown());
    EXPECT_EQ(rig.screen.count("becameHostsPlayer"), 2);
}

// Each message tells the screen exactly what changed, in order: a handler that
// forgets a notification leaves the window showing the old state.
TEST(ClientScreenCalls, EachMessageNotifiesWhatItChanged)
{
    struct Case {
        const char* name;
        std::vector<std::string> messages;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases{
        {"a watcher comes and goes",
         {"CMD_newplayerinfo+8+Eve", "CMD_playerdisconnected+8+Eve"},
         {"systemLine Eve is Connected.", "watchersChanged", "systemLine Eve is spying.",
          "playsounds entered", "systemLine Eve has left.", "watchersChanged"}},
        {"an unknown watcher leaving changes nothing", {"CMD_playerdisconnected+8+Eve"}, {}},
        {"a seat starts watching",
         {"CMD_justwatching+3+1"},
         {"systemLine Cy is just watching", "seatChanged 3"}},
        {"the own seat starts watching",
         {"CMD_justwatching+2+1"},
         {"justWatchChanged", "systemLine You is just watching", "seatChanged 2"}},
        {"another player's flip", {"CMD_heflip+1+4+2+f+4+"}, {"boardCellChanged 4 2", "playsounds flip"}},
        {"another player's letters",
         {"CMD_heuseboardletter+1+4+2+1+11+", "CMD_heusebarletter+1+2+5+"},
         {"boardCellChanged 4 2", "wordTileChanged 1", "playsounds puttile", "wordTileChanged 2",
          "playsounds puttile"}},
        {"the sneaker comes and goes",
         {"CMD_sneaker+3+", "CMD_sneaker+0+"},
         {"sneakerChanged", "sneakerChanged"}},
        {"a pass", {"CMD_hepasses+1+"}, {"statusChanged"}},
        {"out-of-range seats are dropped unread",
         {"CMD_justwatching+7+1", "CMD_hepasses+9+", "CMD_sneaker+9+"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClientRig rig;
        rig.login(2);
        rig.feed({"CMD_newplayerinfo+1+Ann", "CMD_newplayerinfo+2+You", "CMD_newplayerinfo+3+Cy"});
        rig.screen.calls.clear();
        for (const std::string& m : c.messages)
            rig.game.handle(m);
        EXPECT_EQ(rig.screen.calls, c.calls);
    }
}

TEST(ClientCatchUp, StatsNamingTheOwnSeatLeavesNobodyOnTurn)
{
    ClientRig rig;
    rig.login(2);
    rig.feed({"CMD_stats+2+300+45+2+30+help+1+1+10+2+25+3+0+4+0+5+0+6+0", "CMD_isflipped+2+3+4+10+8"});
    EXPECT_EQ(rig.game.turn().turnowner(), 0);
    EXPECT_FALSE(rig.turntime.running());
    EXPECT_EQ(rig.game.turn().gameTexts().timePerTurn, "Time Per Turn: 45secs");
    // The timer goes on from the seconds the catch-up reported.
    rig.game.turn().turntimeTimer();
    EXPECT_EQ(rig.game.turn().timer().secondsLeft, 29);
    EXPECT_EQ(rig.game.turn().timer().turnSeconds, 45);
    EXPECT_EQ(rig.game.turn().timer().text, "Time: 0:29");
    EXPECT_EQ(rig.game.roster().seat(2).score, "25");
    EXPECT_EQ(rig.game.turn().gameTexts().gameMode, "Game Mode: Helper");
    EXPECT_EQ(rig.game.turn().gameTexts().playToScore, "Play to Score: 300");
    EXPECT_TRUE(rig.game.turn().board(3, 4).faceup && rig.game.turn().board(10, 8).faceup);
    rig.feed({"CMD_stats+2+300+45+1+30+sneak+0+"});
    EXPECT_EQ(rig.game.turn().turnowner(), 1);
}

// Another host's catch-up may report any time per turn and any seconds left:
// the window reads the time within the options dialog's range and never has
// more seconds left than that.
TEST(ClientCatchUp, TheTimePerTurnIsReadWithinTheDialogsRange)
{
    struct Case {
        std::string seconds;
        std::string ticks;
        int turnSeconds;
        int secondsLeft; // after one tick of the window's timer
    };
    const std::vector<Case> cases{
        {"45", "30", 45, 29},
        {"120", "124", 120, 119},
        {"1", "1", 45, 0},
        {"44", "40", 45, 39},
        {"121", "121", 120, 119},
        {"2147483647", "2147483647", 120, 119},
        {"2147483647", "-2147483648", 120, 0},
    };
    for (const Case& c : cases) {
        ClientRig rig;
        rig.login(2);
        rig.feed({"CMD_stats+2+300+" + c.seconds + "+3+" + c.ticks + "+blind+0+"});
        EXPECT_EQ(rig.game.turn().gameTexts().timePerTurn,
                  "Time Per Turn: " + std::to_string(c.turnSeconds) + "secs")
            << c.seconds;
        rig.game.turn().turntimeTimer();
        EXPECT_EQ(rig.game.turn().timer().secondsLeft, c.secondsLeft) << c.seconds << " " << c.ticks;
        if (c.secondsLeft > 0) {
            EXPECT_EQ(rig.game.turn().timer().turnSeconds, c.turnSeconds) << c.seconds;
        }
    }
}

// Slot 1 given to a window that came in mid-game (the host's first player
// left): the start waits for that game's winner, as a hosting window's does,
// whether the role came before or after the catch-up.
TEST(ClientCatchUp, ASlotOneCaughtUpMidGameMayStartOnlyAfterItsWinner)
{
    for (const bool roleFirst : {true, false}) {
        ClientRig rig;
        rig.login(1, "Joe");
        if (roleFirst)
            rig.game.setIshost(true);
        rig.feed({"CMD_newplayerinfo+1+Joe", "CMD_existingplayers+2+Bob",
                  "CMD_stats+1+900+60+2+41+blind+0+1+0+2+12+3+0+4+0+5+0+6+0", "CMD_theboard+1+1+5"});
        if (!roleFirst)
            rig.game.setIshost(true);
        EXPECT_TRUE(rig.game.roster().ishost());
        EXPECT_FALSE(rig.game.turn().startShown()) << roleFirst;
        EXPECT_FALSE(rig.game.turn().startEnabled()) << roleFirst;
        rig.game.turn().button_startClick();
        EXPECT_EQ(rig.screen.optionsOpened, 0) << roleFirst;

        rig.feed({"CMD_winner+Bob+"});
        EXPECT_TRUE(rig.game.turn().startShown()) << roleFirst;
        EXPECT_TRUE(rig.game.turn().startEnabled()) << roleFirst;
        rig.game.turn().button_startClick();
        EXPECT_EQ(rig.screen.optionsOpened, 1) << roleFirst;
    }

    // A hosting window keeps its menu entry through its own games.
    ClientRig host;
    host.game.setIshost(true);
    host.login(1);
    EXPECT_TRUE(host.game.turn().startShown() && host.game.turn().startEnabled());
    host.feed({"CMD_startgame+You+200+60+3+0+"});
    EXPECT_FALSE(host.game.turn().startShown());
    EXPECT_TRUE(host.game.turn().startEnabled());
}

TEST_F(OwnTurn, ASneakPeekGreysTheBoardAndTakesNoClicks)
{
    rig.feed({"CMD_sneak+1+"});
    EXPECT_EQ(rig.game.turn().status(), "Here is your Sneak Peek");
    EXPECT_EQ(rig.game.turn().board(5, 5).picture, rigs::boardLetter(5, 5) + 27);
    EXPECT_TRUE(rig.game.turn().sneaker().shown);
    EXPECT_EQ(rig.game.turn().sneaker().seat, 1);
    EXPECT_TRUE(rig.sneakerClock.running());
    EXPECT_EQ(rig.sneakerClock.interval, 300);
    for (int frame : {1, 2, 3, 4, 0}) {
        rig.game.turn().sneakerTimer();
        EXPECT_EQ(rig.game.turn().sneaker().frame, frame);
    }
    rig.game.turn().paintbox_boardMouseUp(5, 5, kLeft);
    EXPECT_THAT(rig.sender.sent, IsEmpty());
    rig.feed({"CMD_nextplayer+1+"});
    EXPECT_EQ(rig.game.turn().board(5, 5).picture, client::kTileBack);
    EXPECT_FALSE(rig.game.turn().board(5, 5).faceup);
    rig.game.turn().paintbox_boardMouseUp(5, 5, kLeft);
    EXPECT_THAT(rig.sender.sent, ElementsAre(wireText("CMD_iflip+1+5+5+")));
    rig.feed({"CMD_sneaker+0+"});
    EXPECT_FALSE(rig.sneakerClock.running());
}

TEST_F(OwnTurn, TheirTilesAndTheWinner)
{
    // Their tiles show only under "See Other Player's Tiles", which is off
    // until the player chooses it.
    rig.feed({"CMD_theirtiles+2+1+1+2+26+3+0+4+4+5+5+6+6+7+99"});
    EXPECT_FALSE(rig.game.turn().theirTiles().shown);
    rig.game.turn().setSeeTheirs(true);
    rig.feed({"CMD_theirtiles+2+1+1+2+26+3+0+4+4+5+5+6+6+7+99"});
    EXPECT_EQ(rig.game.turn().theirTiles().label, "Bob Tiles:");
    EXPECT_TRUE(rig.game.turn().theirTiles().shown);
    EXPECT_EQ(rig.game.turn().theirTiles().pictures[1], 26);
    EXPECT_EQ(rig.game.turn().theirTiles().pictures[6], 0);
    rig.feed({"CMD_winner+Bob+"});
    EXPECT_FALSE(rig.game.turn().theirTiles().shown);
    EXPECT_EQ(rig.game.turn().winnerBanner().text, "Bob has Won the Game!");
    rig.feed({"CMD_winner+You+"});
    EXPECT_EQ(rig.game.turn().winnerBanner().text, "You have Won the Game!");
    EXPECT_THAT(rig.tally.calls, ElementsAre("addgame Bob", "addgame addtomine"));
    // Slot 1 plays for the host: its start comes back with the winner.
    EXPECT_TRUE(rig.game.turn().startShown());

    ClientRig watcher;
    watcher.game.setIshost(true);
    watcher.login(8);
    watcher.feed({"CMD_startgame+Ann+100+60+1+0+"});
    EXPECT_FALSE(watcher.game.turn().startShown());
    watcher.feed({"CMD_winner+You+"});
    EXPECT_EQ(watcher.game.turn().winnerBanner().text, "You has Won the Game!");
    EXPECT_THAT(watcher.tally.calls, IsEmpty());
    EXPECT_TRUE(watcher.game.turn().startShown());
}

// A host can send anything: nothing may index out of range, send on its own or
// stack message boxes.
TEST_F(OwnTurn, HostileMessagesAreDropped)
{
    const std::string longName(4096, 'n');
    const std::vector<std::string> hostile{"CMD_theboard+11+1+5",
                                           "CMD_theboard+0+0+1",
                                           "CMD_theboard+1+9+3",
                                           "CMD_theboard+1+1+27",
                                           "CMD_theboard+1+1",
                                           "CMD_heflip+1+-1+3+f+4+",
                                           "CMD_heflip+1+3+99+f+4+",
                                           "CMD_heuseboardletter+2+1+1+11+3+",
                                           "CMD_heusebarletter+2+0+3+",
                                           "CMD_heclickclear+2+1+99,3",
                                           "CMD_heclickclear+2+11+0,3",
                                           "CMD_nextplayer+7+",
                                           "CMD_nextplayer+x+",
                                           "CMD_sneaker+9+",
                                           "CMD_isflipped+1+0+1",
                                           "CMD_theirtiles+1+8+1",
                                           "CMD_theirtiles+0+1+1",
                                           "CMD_justwatching+-1+1",
                                           "CMD_hisword+12+cat+5+5+",
                                           "CMD_buytiles+9+1+20+",
                                           "CMD_stats+1+200+0+1+5+blind+0+",
                                           "CMD_mytiles+1+8+3",
                                           "CMD_mytiles+1+0+3",
                                           "CMD_newplayerinfo+99999999999+x",
                                           "CMD_newplayerinfo+0+x",
                                           "CMD_playerdisconnected+10+x",
                                           "CMD_sendlogininfo+0",
                                           "CMD_sendlogininfo+",
                                           "CMD_tie",
                                           "+CMD_tie",
                                           "CMD_Tie+",
                                           "",
                                           "CMD_newplayerinfo+4+" + longName};
    const int repaintsBefore = rig.screen.cellRepaints;
    for (const std::string& message : hostile)
        rig.game.handle(message);
    EXPECT_THAT(rig.sender.sent, IsEmpty());
    EXPECT_EQ(rig.screen.cellRepaints, repaintsBefore);
    EXPECT_EQ(rig.game.roster().myplayer(), 1);
    EXPECT_EQ(rig.game.turn().turnowner(), 1);
    // A message is read only up to its first 4096 bytes.
    EXPECT_EQ(rig.game.roster().seat(4).name,
              longName.substr(0, 4096 - std::string_view("CMD_newplayerinfo+4+").size()));
    EXPECT_THAT(rig.screen.boxes, IsEmpty());

    // Blank tiles ask for one box; the next waits until the window closed it.
    rig.feed({"CMD_mytiles+1+1+99+2+0", "CMD_mytiles+1+3+-4"});
    EXPECT_THAT(rig.screen.boxes, ElementsAre("Tile is blank 99"));
    EXPECT_EQ(rig.game.turn().bar(2).shown, 0);
    EXPECT_EQ(rig.game.turn().bar(1).picture(), 0);
    rig.game.messageBoxClosed();
    rig.feed({"CMD_full+"});
    EXPECT_THAT(rig.screen.boxes, ElementsAre("Tile is blank 99", "Game is full"));
    EXPECT_EQ(rig.screen.closes, 1);
}

// A window that leaves its game starts the next one at a bare table; what a
// join from the window reports (turned away, another version) is kept.
TEST(ClientGameReset, ANewTableForTheNextGame)
{
    rigs::ClientRig rig;
    rig.game.roster().setLoginname("Ann");
    rig.feed({"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Ann", "CMD_wrongversion+",
              "CMD_startgame+Ann+150+45+1+1+", "CMD_nextplayer+1+"});
    ASSERT_TRUE(rig.game.roster().loggedin());
    EXPECT_TRUE(rig.game.roster().versionDiffers());
    EXPECT_FALSE(rig.game.roster().turnedAway());
    ASSERT_EQ(rig.game.turn().turnowner(), 1);

    rig.game.reset();
    EXPECT_FALSE(rig.game.roster().loggedin());
    EXPECT_FALSE(rig.game.roster().versionDiffers());
    EXPECT_EQ(rig.game.turn().turnowner(), 0);
    EXPECT_EQ(rig.game.turn().turnFrameSeat(), 0);
    EXPECT_EQ(rig.game.roster().seat(1).name, rigs::ClientRig().game.roster().seat(1).name);

    rig.feed({"CMD_full+"});
    EXPECT_TRUE(rig.game.roster().turnedAway());
}

} // namespace

// The own turn, which calls the player back to a window he is not looking at:
// his seat's turn, played by himself, with no winner since it began.
TEST(ClientGameTurn, TheOwnTurnRunsFromItsStartToTheNextTurnOrTheWinner)
{
    ClientRig rig;
    const std::vector<std::pair<std::string_view, bool>> steps{
        {"CMD_nextplayer+3+", false}, // not logged in yet: seat 3 is nobody's
        {"CMD_sendlogininfo+3", true},
        {"CMD_newplayerinfo+3+Cat", true},
        {"CMD_nextplayer+1+", false},
        {"CMD_nextplayer+3+", true},
        {"CMD_justwatching+3+1", false}, // the computer plays it
        {"CMD_justwatching+3+2", true},
        {"CMD_winner+Cat", false},
        {"CMD_startgame+Ann+100+60+1+1+", false},
        {"CMD_nextplayer+3+", true},
        {"CMD_nextplayer+x+", true}, // unreadable: nothing changes
        {"CMD_nextplayer+2+", false},
    };
    for (const auto& [message, ownTurn] : steps) {
        rig.game.handle(message);
        EXPECT_EQ(rig.game.turn().ownTurn(), ownTurn) << message;
    }
}
