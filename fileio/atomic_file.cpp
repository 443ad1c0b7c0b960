#include "fileio/atomic_file.h"

#include "fileio/file_rules.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace lexiflip::fileio {

namespace fs = std::filesystem;

namespace {

std::string reason(int error)
{
    return std::generic_category().message(error);
}

// Makes a rename in the directory survive a crash.
void syncDirectory(const fs::path& directory)
{
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return; // the rename itself is done; only its durability is unknown
    ::fsync(fd);
    ::close(fd);
}

} // namespace

AtomicFile::AtomicFile(const fs::path& target, TargetRule rule) : m_target(target)
{
    if (m_target.empty())
        throw FileError("cannot write a file without a name");
    std::error_code ec;
    if (rule == TargetRule::OwnFile) {
        const Resolved resolved = resolveOwnLink(m_target);
        if (!resolved.problem.empty())
            throw FileError("cannot write " + m_target.string() + ": " + resolved.problem);
        m_target = resolved.path;
    } else if (fs::is_symlink(fs::symlink_status(m_target, ec))) {
        const fs::path resolved = fs::canonical(m_target, ec);
        if (!ec)
            m_target = resolved;
    }
    const fs::file_status status = fs::status(m_target, ec);
    if (fs::is_directory(status))
        throw FileError("cannot write " + m_target.string() + ": it is a directory");
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        if (rule == TargetRule::OwnFile)
            throw FileError("cannot write " + m_target.string() + ": it is not a regular file");
        m_inPlace = true;
        m_writingTo = m_target;
        m_file = std::fopen(m_target.c_str(), "wb");
        if (!m_file)
            throw FileError("cannot open " + m_target.string() + ": " + reason(errno));
        return;
    }

    // mkostemps picks a random name nobody holds and creates it with mode 0600,
    // exclusively (O_EXCL); O_NOFOLLOW keeps a link out of the way too.
    const fs::path parent = m_target.parent_path();
    const std::string pattern = (parent.empty() ? fs::path(".") : parent).string() + "/." +
                                m_target.filename().string() + ".XXXXXX.tmp";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemps(name.data(), 4, O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        throw FileError("cannot create a temporary file beside " + m_target.string() + ": " + reason(errno));
    m_writingTo = name.data();
    m_file = ::fdopen(fd, "wb");
    if (!m_file) {
        const int error = errno;
        ::close(fd);
        fs::remove(m_writingTo, ec);
        throw FileError("cannot write " + m_target.string() + ": " + reason(error));
    }
    // The finished file gets the permissions a newly created file would get
    // (or keeps those of the file it replaces), not the temporary's 0600.
    struct stat existing {};
    if (::stat(m_target.c_str(), &existing) == 0) {
        ::fchmod(fd, existing.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
}

AtomicFile::~AtomicFile()
{
    if (!m_done)
        discard();
}

void AtomicFile::discard()
{
    m_done = true;
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_inPlace) {
        std::error_code ec;
        fs::remove(m_writingTo, ec);
    }
}

void AtomicFile::fail(const std::string& what, int error)
{
    discard();
    throw FileError(what + ": " + reason(error));
}

void AtomicFile::write(const void* data, std::size_t size)
{
    if (m_done)
        throw FileError("cannot write " + m_target.string() + ": the file is already finished");
    if (size > 0 && std::fwrite(data, 1, size, m_file) != size)
        fail("cannot write " + m_target.string(), errno != 0 ? errno : EIO);
}

void AtomicFile::commit()
{
    if (m_done)
        throw FileError("cannot finish " + m_target.string() + ": the file is already finished");
    errno = 0;
    if (std::fflush(m_file) != 0)
        fail("cannot write " + m_target.string(), errno != 0 ? errno : EIO);
    // A pipe or a device has nothing to sync; a regular file must be on the
    // disk before it replaces the old one, or a crash could leave it empty.
    if (!m_inPlace && ::fsync(::fileno(m_file)) != 0)
        fail("cannot write " + m_target.string(), errno);
    const int closed = std::fclose(m_file);
    m_file = nullptr;
    if (closed != 0)
        fail("cannot write " + m_target.string(), errno != 0 ? errno : EIO);
    if (!m_inPlace) {
        if (std::rename(m_writingTo.c_str(), m_target.c_str()) != 0)
            fail("cannot replace " + m_target.string(), errno);
        syncDirectory(m_target.parent_path());
    }
    m_done = true;
}

void writeFileAtomically(const fs::path& target, std::string_view bytes, TargetRule rule)
{
    AtomicFile file(target, rule);
    file.write(bytes);
    file.commit();
}

} // namespace lexiflip::fileio
