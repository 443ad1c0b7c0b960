// Arbitrary bytes as the shared settings file: the file model must give them
// back unchanged, our section must read and write back to a fixed point, and
// writing our section must not change what another section holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "client/settings/ini_file.h"
#include "client/settings/lexiflip_settings.h"

using namespace lexiflip::settings;

extern "C" const char* const* lexiflipFuzzSeeds()
{
    static const char* const seeds[] = {
        "[Lobby]\r\nNick=Ann\r\n\r\n[Lexiflip]\r\nTextsize=10\r\nBotspeed=250\r\nPhrase1=gg\r\n",
        "[lexiflip]\nTEXTCOLOR=$00FF0000\nGamemode=3\nViewable=yes\n; note\n[lobby]\nnick = Bob \n",
        "Left=-5\nTop=abc\n[LEXIFLIP]\nWidth=1e3\nHeight=\n4Player=0\nClearword=true",
        nullptr,
    };
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    IniFile file = IniFile::parse(bytes);
    if (file.bytes() != bytes)
        std::abort();
    const auto lobbyNick = file.value("Lobby", "Nick");

    Preferences first;
    readPreferences(file, first);
    writePreferences(file, first);
    const std::string written = file.bytes();
    if (file.value("Lobby", "Nick") != lobbyNick)
        std::abort();

    IniFile again = IniFile::parse(written);
    Preferences second;
    readPreferences(again, second);
    if (!(second == first))
        std::abort();
    writePreferences(again, second);
    if (again.bytes() != written)
        std::abort();
    return 0;
}
