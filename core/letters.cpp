#include "core/letters.h"

#include <array>

namespace lexiflip::core {
namespace {

//                                        a  b  c  d  e  f  g  h  i  j  k  l  m
constexpr std::array<int, 27> kWorth{0, 1, 3, 3, 1, 1, 5, 3, 3, 1, 5, 5, 1, 3,
                                     //  n  o  p  q   r  s  t  u  v  w  x   y  z
                                     1, 1, 3, 10, 1, 1, 1, 1, 7, 5, 10, 3, 10};

} // namespace

int letterworth(int code)
{
    if (code < kFirstLetter || code > kLastLetter)
        return 1;
    return kWorth[code];
}

void converttoletter(int code, std::string& target)
{
    if (code < kFirstLetter || code > kLastLetter)
        return;
    target.assign(1, static_cast<char>('a' + code - 1));
}

int letterCode(char letter)
{
    if (letter < 'a' || letter > 'z')
        return 0;
    return letter - 'a' + 1;
}

} // namespace lexiflip::core
