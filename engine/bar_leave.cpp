#include "engine/bar_leave.h"

#include <array>

namespace lexiflip::engine {
namespace {

// By letter a..z: the worth of holding none, one and two copies.
constexpr std::array<std::array<int, 3>, 26> kLeave{{
    {-3, 10, -11},  {1, -2, -32},   {-2, 13, -6},   {0, 4, -20},    {-14, 15, 6},   {1, -4, -16},
    {0, 4, -21},    {1, -2, -30},   {-4, 13, -11},  {2, -30, -67},  {1, -12, -40},  {-4, 14, -5},
    {-1, 6, -13},   {-6, 15, -4},   {2, 4, -18},    {0, 2, -21},    {2, -25, -66},  {-8, 18, 2},
    {-7, 23, 16},   {-5, 13, -7},   {1, -2, -36},   {0, 3, -21},    {2, -10, -40},  {1, -12, -41},
    {2, -9, -41},   {0, -3, -6},
}};
// Each copy beyond the second costs about this much more.
constexpr int kFurtherCopy = 30;

} // namespace

int leaveTenths(int code, int copies)
{
    if (code < 1 || code > 26 || copies < 0)
        return 0;
    const auto& row = kLeave[static_cast<std::size_t>(code - 1)];
    if (copies <= 2)
        return row[static_cast<std::size_t>(copies)];
    return row[2] - kFurtherCopy * (copies - 2);
}

} // namespace lexiflip::engine
