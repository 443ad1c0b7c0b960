#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wire/colour_text.h"
#include "wire/field_reader.h"

using namespace lexiflip::wire;

TEST(FieldReader, ReadsFieldsThenTheFreeTextTail)
{
    // A login: slot, version, and a name that holds "+".
    FieldReader fields("3+1.0.3+Ann+Bob");
    EXPECT_EQ(fields.nextInt(), 3);
    EXPECT_EQ(fields.next(), "1.0.3");
    EXPECT_EQ(fields.rest(), "Ann+Bob");

    // A chat whose text holds "+": the tail keeps it whole.
    FieldReader chat("2+1+1=2|clBlack");
    EXPECT_EQ(chat.nextInt(), 2);
    EXPECT_EQ(chat.rest(), "1+1=2|clBlack");
}

TEST(FieldReader, AFieldWithoutItsPlusIsEmptyAndEndsNumberReading)
{
    FieldReader fields("7");
    EXPECT_EQ(fields.nextInt(), std::nullopt);
    EXPECT_EQ(fields.rest(), "7");
    FieldReader empty("");
    EXPECT_EQ(empty.next(), "");
    EXPECT_EQ(empty.nextInt(), std::nullopt);
}

TEST(FieldReader, TakeReadsALastFieldWithOrWithoutItsPlus)
{
    FieldReader trailing("3+12+");
    EXPECT_EQ(trailing.takeInt(), 3);
    EXPECT_EQ(trailing.takeInt(), 12);
    EXPECT_EQ(trailing.rest(), "");
    FieldReader bare("3+12");
    EXPECT_EQ(bare.takeInt(), 3);
    EXPECT_EQ(bare.takeInt(), 12);
    EXPECT_EQ(bare.take(), "");
    EXPECT_EQ(bare.takeInt(), std::nullopt);
}

TEST(FieldReader, ListsAreReadItemByItem)
{
    FieldReader tiles("4+1+5+2+26");
    EXPECT_EQ(tiles.nextInt(), 4);
    EXPECT_EQ(tiles.list(), (std::vector<std::string_view>{"1", "5", "2", "26"}));
    // A trailing "+" or an empty payload leaves an empty item, which is how a
    // submission ending in an empty pair becomes a pass.
    EXPECT_EQ(FieldReader("0,3+").list(), (std::vector<std::string_view>{"0,3", ""}));
    EXPECT_EQ(FieldReader("").list(), (std::vector<std::string_view>{""}));
}

TEST(ParseInt, AcceptsPlainDecimalOnly)
{
    EXPECT_EQ(parseInt("0"), 0);
    EXPECT_EQ(parseInt("120"), 120);
    EXPECT_EQ(parseInt("-15"), -15);
    EXPECT_EQ(parseInt("2147483647"), 2147483647);
    for (const char* junk : {"", " 1", "1 ", "+1", "1x", "x", "0x10", "$10", "2147483648", "1.5", "--1", "-"})
        EXPECT_EQ(parseInt(junk), std::nullopt) << junk;
}

TEST(ParseOrigin, JunkCountsAsZeroZero)
{
    EXPECT_EQ(parseOrigin("5,2"), (Origin{5, 2}));
    EXPECT_EQ(parseOrigin("0,7"), (Origin{0, 7}));
    EXPECT_EQ(parseOrigin("-1,3"), (Origin{-1, 3}));
    for (const char* junk : {"", ",", "5", "5,", ",2", "a,b", "5,2,1", "5;2", " 5,2"})
        EXPECT_EQ(parseOrigin(junk), (Origin{0, 0})) << junk;
}

TEST(ColourText, EveryNameBothWays)
{
    const std::vector<std::pair<std::string, Colour>> names{
        {"clBlack", 0x000000},  {"clMaroon", 0x000080},  {"clGreen", 0x008000}, {"clOlive", 0x008080},
        {"clNavy", 0x800000},   {"clPurple", 0x800080},  {"clTeal", 0x808000},  {"clGray", 0x808080},
        {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},     {"clLime", 0x00FF00},  {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},  {"clWhite", 0xFFFFFF}};
    for (const auto& [name, value] : names) {
        EXPECT_EQ(colourToText(value), name);
        EXPECT_EQ(colourFromText(name), value) << name;
    }
}

TEST(ColourText, OtherValuesTravelAsDollarHex)
{
    EXPECT_EQ(colourToText(0x00123456), "$00123456");
    EXPECT_EQ(colourToText(0x00ABCDEF), "$00ABCDEF");
    EXPECT_EQ(colourFromText("$00123456"), 0x00123456u);
    EXPECT_EQ(colourFromText("$00abcdef"), 0x00ABCDEFu);
    EXPECT_EQ(colourFromText("$FF"), 0xFFu);
    EXPECT_EQ(colourFromText("65280"), 0x00FF00u);
    for (Colour c : {0x00000001u, 0x00FEDCBAu, 0x00808081u})
        EXPECT_EQ(colourFromText(colourToText(c)), c);
}

TEST(ColourText, UnreadableColoursAreRed)
{
    for (const char* junk :
         {"", "$", "$123456789", "$12G4", "clNone", "black", "12 ", "hi|clBlack", "99999999999"})
        EXPECT_EQ(colourFromText(junk), kUnreadableColour) << junk;
}

TEST(ColourText, TheFirstBarSplitsChatTextFromItsColour)
{
    const ChatText plain = splitChatText("hello|clBlue");
    EXPECT_EQ(plain.text, "hello");
    EXPECT_EQ(plain.colour, 0xFF0000u);
    // A text holding "|" comes out cut there, in red: what follows is no colour.
    const ChatText barred = splitChatText("a|b|clBlack");
    EXPECT_EQ(barred.text, "a");
    EXPECT_EQ(barred.colour, kUnreadableColour);
    const ChatText missing = splitChatText("no colour");
    EXPECT_EQ(missing.text, "no colour");
    EXPECT_EQ(missing.colour, kUnreadableColour);
    EXPECT_EQ(joinChatText("hi", 0), "hi|clBlack");
}
