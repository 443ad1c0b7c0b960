#include <gtest/gtest.h>

#include <string>

#include "wire/messages.h"

using namespace lexiflip::wire;

namespace {
std::string w(const std::string& text)
{
    return text + '\xFF';
}
} // namespace

// The exact bytes each message goes out as; peers of other builds read these.
TEST(Messages, HostMessagesKeepTheirFieldsAndTrailingPlus)
{
    EXPECT_EQ(msg::sendlogininfo(1), w("CMD_sendlogininfo+1"));
    EXPECT_EQ(msg::full(), w("CMD_full+"));
    EXPECT_EQ(msg::newplayerinfo(1, "You+Me"), w("CMD_newplayerinfo+1+You+Me"));
    EXPECT_EQ(msg::wrongversion(), w("CMD_wrongversion+"));
    EXPECT_EQ(msg::havewrongversion("Bo"), w("CMD_havewrongversion+Bo"));
    EXPECT_EQ(msg::chatRelay("You", "hi|clBlack"), w("CMD_chat+You chats: hi|clBlack"));
    EXPECT_EQ(msg::actionRelay("You", "waves|clRed"), w("CMD_action+You waves|clRed"));
    EXPECT_EQ(msg::playasoundRelay(3, "wave4+"), w("CMD_playasound+3+wave4+"));
    EXPECT_EQ(msg::justwatching(2, "1"), w("CMD_justwatching+2+1"));
    EXPECT_EQ(msg::startgameRelay("Ann", 100, 60, "2", "0"), w("CMD_startgame+Ann+100+60+2+0+"));
    EXPECT_EQ(msg::theboard({{1, 1, 5}, {1, 2, 26}}), w("CMD_theboard+1+1+5+1+2+26"));
    EXPECT_EQ(msg::mytiles(2, {{1, 3}, {7, 9}}), w("CMD_mytiles+2+1+3+7+9"));
    EXPECT_EQ(msg::theirtiles(2, {{1, 3}}), w("CMD_theirtiles+2+1+3"));
    EXPECT_EQ(msg::nextplayer(4), w("CMD_nextplayer+4+"));
    EXPECT_EQ(msg::sneaker(0), w("CMD_sneaker+0+"));
    EXPECT_EQ(msg::heflip(1, 3, 4, false, 4), w("CMD_heflip+1+3+4+f+4+"));
    EXPECT_EQ(msg::heflip(1, 10, 8, true, 0), w("CMD_heflip+1+10+8+t+0+"));
    EXPECT_EQ(msg::heuseboardletter(1, 5, 2, 3, 20), w("CMD_heuseboardletter+1+5+2+3+20+"));
    EXPECT_EQ(msg::heusebarletter(1, 2, 17), w("CMD_heusebarletter+1+2+17+"));
    EXPECT_EQ(msg::heclickclear(1, "1+0,3+2+5,2"), w("CMD_heclickclear+1+1+0,3+2+5,2"));
    EXPECT_EQ(msg::hisword(1, "quit", 13, 13, {17, 21, 9, 20}), w("CMD_hisword+1+quit+13+13+17+21+9+20"));
    EXPECT_EQ(msg::buytiles(2, 5), w("CMD_buytiles+2+5+20+"));
    EXPECT_EQ(msg::stats(3, 100, 60, 2, 41, "help", "0", {10, 20, 0, 0, 0, 0}),
              w("CMD_stats+3+100+60+2+41+help+0+1+10+2+20+3+0+4+0+5+0+6+0"));
    EXPECT_EQ(msg::isflipped(3, {{1, 2}, {10, 8}}), w("CMD_isflipped+3+1+2+10+8"));
    EXPECT_EQ(msg::tie(), w("CMD_tie+"));
    EXPECT_EQ(msg::winner("Klot"), w("CMD_winner+Klot+"));
}

TEST(Messages, ClientMessagesKeepTheirFields)
{
    EXPECT_EQ(msg::logininfo(1, "1.0.3", "You"), w("CMD_logininfo+1+1.0.3+You") + '\xFF');
    EXPECT_EQ(msg::chat(1, "hi", 0), w("CMD_chat+1+hi|clBlack"));
    EXPECT_EQ(msg::kickhim(1, 4), w("CMD_kickhim+1+4+"));
    EXPECT_EQ(msg::startgame("Ann", "200", "45", false, "3", "1"), w("CMD_startgame+Ann+200+45+f+3+1+"));
    EXPECT_EQ(msg::justwatch(2, "2"), w("CMD_justwatch+2+2"));
    EXPECT_EQ(msg::iflip(1, 3, 4), w("CMD_iflip+1+3+4+"));
    EXPECT_EQ(msg::useboardletter(1, 3, 4, 2), w("CMD_useboardletter+1+3+4+2+"));
    EXPECT_EQ(msg::usebarletter(1, 7, 1), w("CMD_usebarletter+1+7+1+"));
    EXPECT_EQ(msg::clickclear(1, {{1, {0, 3}}, {2, {5, 2}}}), w("CMD_clickclear+1+1+0,3+2+5,2"));
    EXPECT_EQ(msg::idone(1, {{0, 3}, {5, 2}, {0, 1}}), w("CMD_idone+1+0,3+5,2+0,1"));
    EXPECT_EQ(msg::hepass(2), w("CMD_hepass+2+"));
    EXPECT_EQ(msg::clickbuy(2), w("CMD_clickbuy+2+"));
    EXPECT_EQ(msg::playasound(2, 7), w("CMD_playasound+2+wave7+"));
}

TEST(Messages, PayloadOfStripsCommandWordAndTerminator)
{
    EXPECT_EQ(msg::payloadOf(msg::iflip(2, 3, 4)), "2+3+4+");
    EXPECT_EQ(msg::payloadOf(msg::theboard({{1, 1, 5}})), "1+1+5");
    EXPECT_EQ(msg::payloadOf("no plus"), "");
}
