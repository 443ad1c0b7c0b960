// Arbitrary bytes as the tally file. The first byte, modulo 3, picks how the
// rest is used (so "0", "1" and "2" in the seeds):
//   0: the rest as the tally's text (what the container holds);
//   1: the rest as the file's bytes, container and all;
//   2: the rest as a text, put into a container (Good when bit 2 is set, else
//      Fast) and read as a file, so that mutated texts reach the reader
//      through the decompressor.
// The bits above those choose the game played over the rows.
// Whatever is read must stay within the table's limits, must write back and
// read again to the same table (text and file), and must survive a game's
// bookkeeping, which counts up cells that may hold anything.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "compress/lzrw1_exception.h"
#include "compress/tlzrw1.h"
#include "windows/tally/tally.h"
#include "windows/tally/tally_file.h"

using namespace lexiflip;
using windows::TallyRow;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Writing rows and reading them again gives them back: as text, and (since the
// container costs more) as a file when asked.
void checkRoundTrip(const std::vector<TallyRow>& rows, bool asFile)
{
    const windows::TallyTextRead text = windows::readTallyText(windows::tallyText(rows));
    check(text.error.empty() && text.rows == rows);
    if (asFile) {
        const windows::TallyTextRead file = windows::readTallyFileBytes(windows::tallyFileBytes(rows));
        check(file.error.empty() && file.rows == rows);
    }
}

// A game's end and the counters the host reports, over the rows as read.
void playOver(const std::vector<TallyRow>& rows, std::uint8_t choice)
{
    windows::Tally tally;
    tally.setRows(rows);
    tally.loadtally();
    check(tally.rowCount() >= 1);
    windows::PlayerList players{1, {"You", "<Waiting>"}};
    for (int r = 1; r < tally.rowCount() && players.names.size() < 6; ++r)
        players.names.push_back(tally.cell(0, r));
    tally.loadchecklist(players);
    tally.setChecklistTick(choice % 7, true);
    tally.addgame(choice & 1 ? std::string(windows::Tally::kOwnWin) : players.names.back(), players);
    tally.addtomineincrease(1 + choice % 3);
    tally.addtomineset(4, choice, "quiz");
    tally.select(choice % 5);
    checkRoundTrip(tally.rows(), false);
}

} // namespace

extern "C" const char* const* lexiflipFuzzSeeds()
{
    static const char* const seeds[] = {
        "0"
        "9\r\n2\r\n0\r\nKlot\r\n4\r\n3\r\n2\r\n1\r\n17\r\n2\r\nquiz\r\n0\r\n21\r\n3\r\n0\r\n1\r\n0\r\n2\r\n0"
        "\r\n0\r\n",
        "2"
        "9\n1\n0\n-3\nx\n9223372036854775807\n-\n\n0\n0\n0",
        "0"
        "9\r\n3\r\n0\r\nBob|+\xFF\r\nAnn\r\n",
        nullptr,
    };
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t selector = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    windows::TallyTextRead read;
    switch (selector % 3) {
    case 0:
        read = windows::readTallyText(rest);
        break;
    case 1:
        read = windows::readTallyFileBytes(rest);
        break;
    default: {
        compress::Tlzrw1 doit;
        doit.setCompressMode((selector & 4) ? compress::TCompressMode::Good : compress::TCompressMode::Fast);
        try {
            read = windows::readTallyFileBytes(doit.compressBytes(rest));
        } catch (const compress::ELzrw1Exception&) {
            return 0; // a text the component will not pack is no tally file
        }
        const windows::TallyTextRead direct = windows::readTallyText(rest);
        check(read.rows == direct.rows && read.error == direct.error);
        break;
    }
    }
    check(read.rows.size() <= static_cast<std::size_t>(windows::kMaxTallyRows));
    // A text read whole has every row it announced; one read in part says so.
    check(!read.error.empty() || !read.rows.empty());
    if (read.rows.empty())
        return 0;
    checkRoundTrip(read.rows, true);
    playOver(read.rows, static_cast<std::uint8_t>(selector >> 3));
    return 0;
}
