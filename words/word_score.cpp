#include "words/word_score.h"

#include "core/letters.h"

namespace lexiflip::words {
namespace {

constexpr int kBarLetterWorthFactor = 1;
constexpr int kBoardLetterWorthFactor = 2;
constexpr int kAllFlippedBonus = 5;
constexpr int kWholeBarBonus = 10;

int lengthBonus(int letters)
{
    if (letters < 5 || letters > 10)
        return 0;
    return (letters - 4) * 5;
}

} // namespace

int tilePoints(int code, bool onBoard)
{
    return (onBoard ? kBoardLetterWorthFactor : kBarLetterWorthFactor) * core::letterworth(code);
}

int wordBonus(int barcount, int boardcount)
{
    int bonus = lengthBonus(barcount + boardcount);
    if (boardcount == kFlipsPerTurn)
        bonus += kAllFlippedBonus;
    if (barcount == kBarTiles)
        bonus += kWholeBarBonus;
    return bonus;
}

} // namespace lexiflip::words
