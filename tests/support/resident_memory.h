#pragma once

#include <fstream>
#include <string>

namespace lexiflip::testing {

// A process's resident memory in KiB (VmRSS in /proc/<pid>/status; this
// process's when pid is 0), or -1 when it cannot be read. AddressSanitizer
// keeps freed memory resident in its quarantine, so a bound on growth holds
// only in a build without it.
inline long residentKiB(long long pid = 0)
{
    std::ifstream status(pid == 0 ? std::string("/proc/self/status")
                                  : "/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

} // namespace lexiflip::testing
