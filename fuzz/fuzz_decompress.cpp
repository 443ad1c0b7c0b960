// Arbitrary bytes into the tally container decoder. The first byte picks how
// the rest is used, so that random input reaches past the identifier check:
//   0: the bytes as a whole container;
//   1: the bytes behind a Fast identifier ("WRZL": size field, then blocks);
//   2: the bytes behind a Good identifier ("!HZL": size field, then LZH code);
//   3: the bytes as plain data, compressed (Fast or Good by bit 2) and decoded
//      again, which must give them back.
// Any outcome but the component's own exception or success is a finding.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "compress/tlzrw1.h"

using lexiflip::compress::ELzrw1Exception;
using lexiflip::compress::TCompressMode;
using lexiflip::compress::Tlzrw1;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // One component for every input, as the tally window keeps one: nothing
    // may carry over from one operation to the next.
    static Tlzrw1 lzrw1;
    const std::uint8_t selector = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        switch (selector % 4) {
        case 0:
            lzrw1.decompressBytes(rest);
            break;
        case 1:
            lzrw1.decompressBytes(std::string("WRZL") + std::string(rest));
            break;
        case 2:
            lzrw1.decompressBytes(std::string("!HZL") + std::string(rest));
            break;
        default: {
            lzrw1.setCompressMode((selector & 4) ? TCompressMode::Good : TCompressMode::Fast);
            const std::string container = lzrw1.compressBytes(rest);
            if (lzrw1.decompressBytes(container) != rest) {
                std::fprintf(stderr, "round trip changed %zu bytes\n", rest.size());
                std::abort();
            }
            break;
        }
        }
    } catch (const ELzrw1Exception&) {
        // A damaged container is reported, which is all that is asked.
    }
    return 0;
}
