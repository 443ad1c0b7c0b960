#pragma once

// Runs part of a test in a forked child, for conditions that must not touch the
// test process itself: a file-size limit (a full disk), another user's rights.
// The child reports through a pipe; gtest's assertions inside it would never
// reach the parent, so the child's body returns what went wrong instead.

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace lexiflip::testing {

struct ChildReport {
    std::string failure; // empty when every check in the child held
    std::string skipped; // why the child could not set up its condition
};

inline ChildReport runInChild(const std::function<ChildReport()>& body)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {"cannot make a pipe", {}};
    const pid_t child = ::fork();
    if (child < 0)
        return {"cannot fork", {}};
    if (child == 0) {
        ::close(pipeEnds[0]);
        const ChildReport report = body();
        // One marker byte says which of the two the text is.
        const std::string text =
            (report.skipped.empty() ? "F" : "S") + (report.skipped.empty() ? report.failure : report.skipped);
        const char* at = text.data();
        std::size_t left = text.size();
        while (left > 0) {
            const ssize_t n = ::write(pipeEnds[1], at, left);
            if (n <= 0)
                break;
            at += n;
            left -= static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[512];
    ssize_t n = 0;
    while ((n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty())
        return {"the child ended abnormally (status " + std::to_string(status) + ")", {}};
    if (text[0] == 'S')
        return {{}, text.substr(1)};
    return {text.substr(1), {}};
}

// In a child: files may grow to at most `bytes`, and a write past that fails
// with EFBIG instead of killing the process, as on a full disk.
inline void limitFileSize(rlim_t bytes)
{
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// In a child: gives up the superuser's rights for those of "nobody" (65534),
// so that file permissions apply. Returns why that failed, or "" when done
// (or when not the superuser to begin with).
inline std::string dropSuperuser()
{
    if (::geteuid() != 0)
        return {};
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
        return "cannot switch to the user nobody (65534)";
    return {};
}

} // namespace lexiflip::testing
