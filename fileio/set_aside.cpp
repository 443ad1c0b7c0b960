#include "fileio/set_aside.h"

#include <string>
#include <system_error>

namespace lexiflip::fileio {

namespace fs = std::filesystem;

namespace {

fs::path freeBadName(const fs::path& file)
{
    std::error_code ec;
    for (int n = 1; n < 1000; ++n) {
        fs::path candidate = file;
        candidate += n == 1 ? std::string(".bad") : "." + std::to_string(n) + ".bad";
        if (!fs::exists(fs::symlink_status(candidate, ec)))
            return candidate;
    }
    fs::path last = file;
    return last += ".bad";
}

} // namespace

fs::path setAside(const fs::path& file)
{
    const fs::path aside = freeBadName(file);
    std::error_code ec;
    fs::rename(file, aside, ec);
    return ec ? fs::path() : aside;
}

} // namespace lexiflip::fileio
