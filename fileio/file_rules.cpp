#include "fileio/file_rules.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <system_error>

namespace lexiflip::fileio {

namespace fs = std::filesystem;

namespace {

std::string reason(int error)
{
    return std::generic_category().message(error);
}

} // namespace

std::string folderProblem(const fs::path& folder, FolderUse use)
{
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0)
        return reason(errno);
    if (S_ISLNK(info.st_mode))
        return "it is a symbolic link";
    if (!S_ISDIR(info.st_mode))
        return "it is not a folder";
    if (info.st_uid != ::geteuid())
        return "it belongs to another user";
    if (use == FolderUse::Private && (info.st_mode & 077) != 0)
        return "other users have rights in it (it must be mode 0700)";
    if (use == FolderUse::OwnFiles && (info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return "other users may write into it";
    return {};
}

std::string makeFolder(const fs::path& folder, FolderUse use)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return reason(errno);
    return folderProblem(folder, use);
}

Resolved resolveOwnLink(const fs::path& name)
{
    struct stat link {};
    if (::lstat(name.c_str(), &link) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {name, false, {}};
        return {name, false, reason(errno)};
    }
    if (!S_ISLNK(link.st_mode))
        return {name, true, {}};
    if (link.st_uid != ::geteuid())
        return {name, true, "it is a link that belongs to another user"};
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(name.c_str(), nullptr), &std::free);
    if (!real) {
        if (errno == ENOENT)
            return {name, false, {}};
        return {name, true, reason(errno)};
    }
    // realpath resolved every link on the way: this is the file itself.
    struct stat target {};
    if (::lstat(real.get(), &target) != 0)
        return {name, false, errno == ENOENT ? std::string() : reason(errno)};
    if (target.st_uid != ::geteuid())
        return {real.get(), true, "it links to a file that belongs to another user"};
    return {real.get(), true, {}};
}

FileRead readRegularFile(const fs::path& name, Owner owner)
{
    FileRead result;
    const auto refuse = [&result](std::string why) {
        result.kind = FileRead::Kind::Refused;
        result.bytes.clear();
        result.problem = std::move(why);
        return result;
    };
    const Resolved resolved = resolveOwnLink(name);
    if (!resolved.problem.empty())
        return refuse(resolved.problem);
    if (!resolved.exists)
        return result;
    // O_NOFOLLOW: a link put there since we looked is not followed; O_NONBLOCK:
    // opening a pipe returns at once instead of waiting for a writer.
    const int fd = ::open(resolved.path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return result;
        return refuse(errno == ELOOP ? std::string("it is a symbolic link") : reason(errno));
    }
    struct stat info {};
    std::string problem;
    if (::fstat(fd, &info) != 0)
        problem = reason(errno);
    else if (S_ISDIR(info.st_mode))
        problem = "it is a folder";
    else if (!S_ISREG(info.st_mode))
        problem = "it is not a regular file";
    else if (owner == Owner::User && info.st_uid != ::geteuid())
        problem = "it belongs to another user";
    if (problem.empty()) {
        // Sized once, so that a large file (the word list) holds no slack.
        result.bytes.reserve(static_cast<std::size_t>(info.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                result.bytes.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0) {
                break;
            } else if (errno != EINTR) {
                problem = reason(errno);
                break;
            }
        }
    }
    ::close(fd);
    if (!problem.empty())
        return refuse(problem);
    result.kind = FileRead::Kind::Read;
    return result;
}

} // namespace lexiflip::fileio
